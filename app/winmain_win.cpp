// Tesmar.exe: the start-up sequence and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "app/single_instance_win.h"
#include "app/start_form_win.h"
#include "app/zoomer_place_win.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "viewer/zoomer_form_win.h"
#include "ui/com.h"
#include "ui/theme.h"
#include "ui/window.h"

using namespace tesmar;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  // A second start of the palette of this folder brings the first one forward and ends.
  SingleInstance instance;
  const std::u16string programFolder = ProgramFolderOfThisProcess();
  if (!instance.Claim(programFolder)) {
    SingleInstance::BringRunningToFront(programFolder);
    return 0;
  }

  ui::ComInit com;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);

  // The dark look; when it cannot be applied the program goes on with the default one.
  ui::ApplyDarkTheme();

  TMorvikStartForm splash;
  TTesmarMainForm main;
  TMorvikZoomerForm zoomer;
  TMorvikSettingForm setting;
  TTargetCADForm target;
  bool created = ui::RunGuarded([&] {
    splash.Create();
    splash.Label1().SetText(u"Tesmar.exe");
    ShowWindow(splash.hwnd(), SW_SHOW);
    UpdateWindow(splash.hwnd());
    ui::ProcessMessages();
  });
  if (!created) return 1;

  // The main window owns the task-bar button; the others are owned by it. A failure inside
  // FormCreate is shown like any other and the program goes on with what was created.
  Forms().TesmarMainForm = &main;
  main.SetEndsProgram(true);
  if (!ui::RunGuarded([&] { main.Create(); }) && !main.hwnd()) return 1;
  ui::RunGuarded([&] {
    zoomer.Create(main.hwnd());
    zoomer.SetPlace(ReadZoomerPlace(main.SettingsFile()));
    Forms().MorvikZoomerForm = &zoomer;
    setting.Create(main.hwnd());
    Forms().MorvikSettingForm = &setting;
    target.Create(main.hwnd());
    Forms().TargetCADForm = &target;
  });
  splash.Destroy();

  ShowWindow(main.hwnd(), show == SW_SHOWMINIMIZED || show == SW_MINIMIZE ? show : SW_SHOWNORMAL);
  UpdateWindow(main.hwnd());
  instance.Publish(main.hwnd());
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (main.HandleShortcut(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Forms() = AppForms{};
  ui::RunGuarded([&] { WriteZoomerPlace(main.SettingsFile(), zoomer.Place()); });
  return static_cast<int>(msg.wParam);
}
