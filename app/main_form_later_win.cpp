// Handlers of the main window for the library catalogue, the preview grid, the hint file, the
// CAD link and the conversion. They do nothing yet; the start-up sequence (FormCreate) already
// calls the catalogue's ComboBox1Change and ComboBox2Change and the message filter's creation.
#include "app/main_form_win.h"

namespace tesmar {

// ---- Library catalogue
void TTesmarMainForm::ComboBox1Change() {}
void TTesmarMainForm::ComboBox1DropDown(ui::ComboBox Sender) {}
void TTesmarMainForm::WMApp() {}
void TTesmarMainForm::Button2Click() {}
void TTesmarMainForm::Button3Click() {}

// ---- Preview grid and paging
void TTesmarMainForm::ComboBox2Change() {}
void TTesmarMainForm::ComboBox3Change() {}
void TTesmarMainForm::SpeedButton3MouseDown() {}
void TTesmarMainForm::SpeedButton3MouseUp() {}
void TTesmarMainForm::SpeedButton4MouseDown() {}
void TTesmarMainForm::SpeedButton4MouseUp() {}
void TTesmarMainForm::Timer1Timer() {}
void TTesmarMainForm::Image1MouseMove(ui::ImageBox& Sender, int X, int Y) {}
void TTesmarMainForm::N11Click() {}
void TTesmarMainForm::N12Click() {}
void TTesmarMainForm::WidthWidth11Click(const ui::MenuItem& Sender) {}

// ---- Hint file
void TTesmarMainForm::N8Click() {}

// ---- CAD link
void TTesmarMainForm::CAD5Click() {}
void TTesmarMainForm::N6Click() {}
void TTesmarMainForm::Image1DblClick(ui::ImageBox& Sender) {}
void TTesmarMainForm::LISP1Click() {}
void TTesmarMainForm::CAD6Click(const ui::MenuItem& Sender) {}
void TTesmarMainForm::CreateMessageFilter() {}
void TTesmarMainForm::RevokeMessageFilter() {}

// ---- Conversion
void TTesmarMainForm::ODAFileConverter1Click() {}
void TTesmarMainForm::ODAFileConverter2Click() {}
void TTesmarMainForm::DWGDXF1Click() {}

}  // namespace tesmar
