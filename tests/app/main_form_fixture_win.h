#pragma once
// A main window made in a fresh program folder: the executable's path is <temp>\Tesmar.exe, so
// the settings file, the top-folder list and the target list live in that folder. Message
// boxes are answered by the test and recorded.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "base/strings.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "tests/support/testdata.h"
#include "ui/com.h"
#include "ui/seams.h"
#include "ui/theme.h"

namespace tesmar::test {

struct ShownBox {
  std::u16string text, caption;
  UINT flags;
};

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest()
      : boxes_(ui::MessageBoxSeam(), [this](HWND, std::u16string_view text, std::u16string_view caption, UINT flags) {
          shown.push_back(ShownBox{std::u16string(text), std::u16string(caption), flags});
          return answer;
        }) {
    ui::ApplyDarkTheme();  // as the program starts: owner-drawn dark menus included
  }

  std::filesystem::path Folder() const { return dir.path(); }
  std::u16string FolderText() const { return U16FromPath(dir.path()); }
  std::filesystem::path File(const char* name) const { return dir / name; }

  TTesmarMainForm& Start() {
    form = std::make_unique<TTesmarMainForm>(U16FromPath(dir / "Tesmar.exe"));
    form->Create();
    return *form;
  }
  // Destroys the window: FormDestroy runs and writes its files.
  void Close() {
    ASSERT_TRUE(form);
    DestroyWindow(form->hwnd());
    form.reset();
  }

  TempDir dir;
  std::unique_ptr<TTesmarMainForm> form;
  std::vector<ShownBox> shown;
  int answer = IDOK;

 private:
  ui::SeamOverride<ui::MessageBoxFn> boxes_;
};

// The main window with COM started and the CAD link's two dialogs made and registered, as the
// program has them when the window talks to the CAD program.
class MainFormWithCadDialogsTest : public MainFormTest {
 protected:
  void SetUp() override {
    setting_.Create(nullptr);
    target_.Create(nullptr);
    Forms().MorvikSettingForm = &setting_;
    Forms().TargetCADForm = &target_;
  }
  void TearDown() override { Forms() = AppForms{}; }

  ui::ComInit com_;
  TMorvikSettingForm setting_;
  TTargetCADForm target_;
};

}  // namespace tesmar::test
