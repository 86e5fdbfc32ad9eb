#include "ui/seams.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "base/strings.h"
#include "ui/com.h"
#include "ui/window.h"

namespace tesmar::ui {
namespace {

int RealMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT flags) {
  return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
}

std::optional<std::u16string> RealChooseFolder(HWND owner, std::u16string_view title) {
  std::wstring t = ToWide(title);
  BROWSEINFOW bi{};
  bi.hwndOwner = owner;
  bi.lpszTitle = t.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  ComInit com;
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
  if (!pidl) return std::nullopt;
  wchar_t path[MAX_PATH * 4] = {};
  bool ok = SHGetPathFromIDListEx(pidl, path, static_cast<DWORD>(std::size(path)), GPFIDL_DEFAULT);
  CoTaskMemFree(pidl);
  if (!ok) return std::nullopt;
  return FromWide(path);
}

std::optional<std::u16string> RealOpenFile(HWND owner, std::u16string_view filter, std::u16string_view defaultExt) {
  // "desc|pattern|desc|pattern" becomes the platform's double-NUL-terminated list.
  std::wstring f = ToWide(filter);
  for (auto& c : f)
    if (c == L'|') c = L'\0';
  f.push_back(L'\0');
  f.push_back(L'\0');
  std::wstring ext = ToWide(defaultExt);
  if (!ext.empty() && ext[0] == L'.') ext.erase(0, 1);
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = f.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return FromWide(file.data());
}

INT_PTR RealShellOpen(HWND owner, std::u16string_view verb, std::u16string_view file, std::u16string_view params,
                      std::u16string_view dir, int show) {
  std::wstring v = ToWide(verb), f = ToWide(file), p = ToWide(params), d = ToWide(dir);
  return reinterpret_cast<INT_PTR>(ShellExecuteW(owner, v.empty() ? nullptr : v.c_str(), f.c_str(),
                                                 p.empty() ? nullptr : p.c_str(), d.empty() ? nullptr : d.c_str(),
                                                 show));
}

}  // namespace

MessageBoxFn& MessageBoxSeam() {
  static MessageBoxFn fn = RealMessageBox;
  return fn;
}
ChooseFolderFn& ChooseFolderSeam() {
  static ChooseFolderFn fn = RealChooseFolder;
  return fn;
}
OpenFileFn& OpenFileSeam() {
  static OpenFileFn fn = RealOpenFile;
  return fn;
}
ShellOpenFn& ShellOpenSeam() {
  static ShellOpenFn fn = RealShellOpen;
  return fn;
}
ShellExecuteExFn& ShellExecuteExSeam() {
  static ShellExecuteExFn fn = [](SHELLEXECUTEINFOW& info) { return ShellExecuteExW(&info) != FALSE; };
  return fn;
}
ShowModalFn& ShowModalSeam() {
  static ShowModalFn fn = [](Window& dialog) { return dialog.ShowModal(); };
  return fn;
}

int ShowMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption, UINT flags) {
  return MessageBoxSeam()(owner, text, caption, flags);
}
std::optional<std::u16string> ChooseFolder(HWND owner, std::u16string_view title) {
  return ChooseFolderSeam()(owner, title);
}
std::optional<std::u16string> ChooseOpenFile(HWND owner, std::u16string_view filter, std::u16string_view defaultExt) {
  return OpenFileSeam()(owner, filter, defaultExt);
}
INT_PTR ShellOpen(HWND owner, std::u16string_view verb, std::u16string_view file, std::u16string_view params,
                  std::u16string_view dir, int show) {
  return ShellOpenSeam()(owner, verb, file, params, dir, show);
}
bool RunShellExecuteEx(SHELLEXECUTEINFOW& info) { return ShellExecuteExSeam()(info); }
int ShowModal(Window& dialog) { return ShowModalSeam()(dialog); }

}  // namespace tesmar::ui
