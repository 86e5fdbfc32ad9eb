#pragma once
// Everything that would block a test or reach outside the program goes through one of these
// replaceable functions. Each slot holds the real platform call by default; a test puts its
// own function in for one scope with SeamOverride.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tesmar::ui {

class Window;

// MessageBoxW: text, caption and flags; the result is the button chosen (IDOK, IDYES, ...).
using MessageBoxFn = std::function<int(HWND owner, std::u16string_view text, std::u16string_view caption, UINT flags)>;
// The folder chooser in its newer style; nothing when cancelled.
using ChooseFolderFn = std::function<std::optional<std::u16string>(HWND owner, std::u16string_view title)>;
// The file-open dialog with a filter in the "description|pattern" form and a default extension.
using OpenFileFn = std::function<std::optional<std::u16string>(HWND owner, std::u16string_view filter,
                                                               std::u16string_view defaultExt)>;
// ShellExecuteW: verb, file, parameters, folder, show mode; the platform's result value.
using ShellOpenFn = std::function<INT_PTR(HWND owner, std::u16string_view verb, std::u16string_view file,
                                          std::u16string_view params, std::u16string_view dir, int show)>;
// ShellExecuteExW (the caller fills the structure; hProcess comes back in it).
using ShellExecuteExFn = std::function<bool(SHELLEXECUTEINFOW& info)>;
// Shows a window of the program modally; the result is the modal result (IDOK, IDCANCEL).
using ShowModalFn = std::function<int(Window& dialog)>;

MessageBoxFn& MessageBoxSeam();
ChooseFolderFn& ChooseFolderSeam();
OpenFileFn& OpenFileSeam();
ShellOpenFn& ShellOpenSeam();
ShellExecuteExFn& ShellExecuteExSeam();
ShowModalFn& ShowModalSeam();

// Calls through the seams.
int ShowMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT flags);
std::optional<std::u16string> ChooseFolder(HWND owner, std::u16string_view title);
std::optional<std::u16string> ChooseOpenFile(HWND owner, std::u16string_view filter, std::u16string_view defaultExt);
INT_PTR ShellOpen(HWND owner, std::u16string_view verb, std::u16string_view file, std::u16string_view params,
                  std::u16string_view dir, int show);
bool RunShellExecuteEx(SHELLEXECUTEINFOW& info);
int ShowModal(Window& dialog);

// Replaces a seam for one scope and puts the previous function back at its end.
template <class Fn>
class SeamOverride {
 public:
  SeamOverride(Fn& slot, Fn replacement) : slot_(slot), saved_(std::exchange(slot, std::move(replacement))) {}
  ~SeamOverride() { slot_ = std::move(saved_); }
  SeamOverride(const SeamOverride&) = delete;
  SeamOverride& operator=(const SeamOverride&) = delete;

 private:
  Fn& slot_;
  Fn saved_;
};

}  // namespace tesmar::ui

namespace tesmar::ui {

// The file-open dialog as a component: filter "description|pattern", default extension, and
// the chosen file after Execute returns true.
struct OpenDialog {
  std::u16string filter;
  std::u16string defaultExt;
  std::u16string fileName;
  bool Execute(HWND owner) {
    auto chosen = ChooseOpenFile(owner, filter, defaultExt);
    if (!chosen) return false;
    fileName = *chosen;
    return true;
  }
};

}  // namespace tesmar::ui
