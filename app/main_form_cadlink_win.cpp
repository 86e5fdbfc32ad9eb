// Handlers of the main window for the CAD link: the target CAD program, the insert settings,
// inserting a drawing by double-click or menu, loading LISP, and the COM message filter.
#include <windows.h>

#include "app/main_form_win.h"
#include "app/startup.h"
#include "base/textfile.h"
#include "base/texts.h"

namespace tesmar {

void TTesmarMainForm::SetTargetCaption() {
  TextLines lines;
  if (!ReadTextLines(PathFromU16(TargetListFile()), lines)) return;
  if (auto name = TargetNameFor(lines.lines, g_TargetProgID))
    MenuItem(u"CAD5").SetCaption(kTargetCaptionPrefix + *name);
}

void TTesmarMainForm::CAD5Click() {}
void TTesmarMainForm::N6Click() {}
void TTesmarMainForm::Image1DblClick(ui::ImageBox& Sender) {}
void TTesmarMainForm::LISP1Click() {}
void TTesmarMainForm::CAD6Click(const ui::MenuItem& Sender) {}
void TTesmarMainForm::CreateMessageFilter() {}
void TTesmarMainForm::RevokeMessageFilter() {}

}  // namespace tesmar
