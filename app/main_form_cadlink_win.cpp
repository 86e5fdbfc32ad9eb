// Handlers of the main window for the CAD link: the target CAD dialog, the insert settings
// dialog, the insert and LISP-load commands, and the COM message filter of the window's life.
// The texts come from cadlink/commands.h; the sending from cadlink/cad_link_win.h.
#include <windows.h>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "app/startup.h"
#include "base/textfile.h"
#include "base/texts.h"
#include "cadlink/cad_link_win.h"
#include "cadlink/commands.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "library/catalogue.h"
#include "library/paging.h"
#include "ui/topmost.h"

namespace tesmar {

ui::ComPtr<TMessageFilter> g_MessageFilter;

namespace {

// The drawing every command acts on: the selected entry of ComboBox3 in the chosen folder.
// Nothing when no drawing is selected or its file no longer exists.
std::optional<std::u16string> ChosenDrawing(const TTesmarMainForm& f) {
  std::u16string name = f.ComboBox3().Text();
  if (name.empty()) return std::nullopt;
  std::u16string path = f.ChosenDrawingPath();
  if (!FileExists(path)) return std::nullopt;
  return path;
}

}  // namespace

void TTesmarMainForm::SetTargetCaption() {
  TextLines lines;
  if (!ReadTextLines(PathFromU16(TargetListFile()), lines)) return;
  if (auto name = TargetNameFor(lines.lines, g_TargetProgID))
    MenuItem(u"CAD5").SetCaption(kTargetCaptionPrefix + *name);
}

std::u16string TTesmarMainForm::TargetDisplayName() const {
  TextLines lines;
  if (ReadTextLines(PathFromU16(TargetListFile()), lines))
    if (auto name = TargetNameFor(lines.lines, g_TargetProgID); name && !name->empty()) return *name;
  return g_TargetProgID;
}

void TTesmarMainForm::SendToTargetCad(std::u16string_view command, bool insertCommand) {
  if (RefusedWhileBusy()) return;
  // The call is the one long thing meanwhile. A busy program is waited for within one deadline
  // for the whole command, the status field counting the seconds; the text goes again when the
  // call ends (an error box, or the word of a cancel, follows).
  ui::BusyScope scope(busy, u"");
  CadCallWait wait(hwnd(), cadWaitBoundMs);
  wait.onWait = [this, &wait](DWORD waitedMs) {
    const std::u16string text = BusyCadWaitText(waitedMs / 1000 + 1, (wait.BoundMs() + 999) / 1000);
    busy.SetStatus(text);
    Edit1().SetText(text);
    UpdateWindow(Edit1().hwnd());  // the window's input is not handled inside the call
  };
  struct Scope {
    TTesmarMainForm& form;
    CadCallWait& wait;
    Scope(TTesmarMainForm& f, CadCallWait& w) : form(f), wait(w) {
      if (g_MessageFilter) g_MessageFilter->SetCurrent(&wait);
    }
    ~Scope() {
      if (g_MessageFilter && g_MessageFilter->Current() == &wait) g_MessageFilter->SetCurrent(nullptr);
      if (!form.busy.Status().empty() && form.Edit1().Text() == form.busy.Status()) form.Edit1().SetText(u"");
    }
  } waiting(*this, wait);
  try {
    if (tesmar::SendToTargetCad(g_TargetProgID, command, wait, insertCommand) == CadSend::NotRunning)
      Edit1().SetText(CadNotRunningText(TargetDisplayName()));
  } catch (const CadWaitCancelled& e) {
    // Esc: the user's own choice, said in the status field. A closing window: nothing more.
    if (e.End() == CadCallWait::End::Escape) Edit1().SetText(kCadWaitCancelledText);
  }
}

void TTesmarMainForm::StopPaging() {
  CMDMODE = kPagingNone;
  Timer1().SetEnabled(false);
}

void TTesmarMainForm::CAD5Click() {
  TTargetCADForm* dialog = Forms().TargetCADForm;
  if (!dialog) return;
  dialog->listFile = TargetListFile();
  dialog->currentProgId = [] { return g_TargetProgID; };
  dialog->onTargetChosen = [this](const std::u16string& caption, const std::u16string& progId) {
    MenuItem(u"CAD5").SetCaption(caption);
    g_TargetProgID = progId;
  };
  ui::TopmostStepOut step(hwnd(), dialog->hwnd());
  dialog->Execute();
}

void TTesmarMainForm::N6Click() {
  TMorvikSettingForm* dialog = Forms().MorvikSettingForm;
  if (!dialog) return;
  {
    ui::TopmostStepOut step(hwnd(), dialog->hwnd());
    ui::ProcessMessages();
    dialog->Fill(insert);
    if (dialog->Execute() == IDOK) {
      insert = dialog->ReadBack();
      MenuItem(u"LISP1").SetCaption(LispLoadCaption(insert.lspName));
    }
  }
  ui::ProcessMessages();
}

void TTesmarMainForm::Image1DblClick(ui::ImageBox& Sender) {
  StopPaging();
  auto path = ChosenDrawing(*this);
  if (!path) return;
  SendToTargetCad(DoubleClickText(insert, *path), !insert.useLspFlag);
}

void TTesmarMainForm::CAD6Click(const ui::MenuItem& Sender) {
  StopPaging();
  const int n = InsertItemNumber(Sender.Name());
  auto path = ChosenDrawing(*this);
  if (!path) return;
  SendToTargetCad(InsertItemText(n, insert, *path), n < 7);
}

void TTesmarMainForm::LISP1Click() {
  std::u16string file = LispFileFor(insert.lspName, ProgramFolderSlash());
  if (!FileExists(file)) {
    ui::ShowMessageBox(hwnd(), LispFileMissingText(file), FromWide(ui::kApplicationTitle), MB_OK | MB_ICONINFORMATION);
    return;
  }
  SendToTargetCad(LoadLispText(file));
}

void TTesmarMainForm::CreateMessageFilter() {
  ui::ComPtr<TMessageFilter> filter = TMessageFilter::Create();
  // A thread without a COM apartment has no filter to replace.
  if (filter->RegisterFilter()) g_MessageFilter = std::move(filter);
}

void TTesmarMainForm::RevokeMessageFilter() {
  if (!g_MessageFilter) return;
  ui::ComPtr<TMessageFilter> filter = std::move(g_MessageFilter);
  filter->RevokeFilter();
}

}  // namespace tesmar
