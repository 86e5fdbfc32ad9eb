// Handlers of the main window for the conversion of DWG to DXF: registering the converter,
// showing it while it runs, and converting the chosen drawing for the viewer.
#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "base/strings.h"
#include "dwg/dwg_to_dxf_win.h"
#include "dwg/dxf_conversion.h"
#include "library/catalogue.h"
#include "viewer/zoomer_form_win.h"

namespace tesmar {
namespace {

// True when no file stands at `file` (any more): a file that is held open without leave to
// delete it stays, and says so here.
bool RemovedOrAbsent(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
  return !std::filesystem::exists(file, ec) && !ec;
}

}  // namespace

void TTesmarMainForm::ODAFileConverter1Click() {
  if (OpenDialog1().Execute(hwnd())) odaFullName = OpenDialog1().fileName;
}

void TTesmarMainForm::ODAFileConverter2Click() {
  const ui::MenuItem& item = MenuItem(u"ODAFileConverter2");
  item.SetChecked(!item.Checked());
}

void TTesmarMainForm::ShowInViewer(const std::u16string& dxfPath) {
  TMorvikZoomerForm* viewer = Forms().MorvikZoomerForm;
  if (!viewer) return;
  viewer->OpenRequest(dxfPath);
}

std::u16string TTesmarMainForm::OwnConversionFolder() {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("Tesmar-" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(folder);
  convertedDxf.RecordFolder(folder);
  return U16FromPath(folder);
}

std::u16string TTesmarMainForm::NumberedConversionFolder(int n) {
  const std::filesystem::path folder = PathFromU16(OwnConversionFolder()) / std::to_string(n);
  std::filesystem::create_directories(folder);
  convertedDxf.RecordFolder(folder);
  return U16FromPath(folder);
}

bool TTesmarMainForm::RefusedWhileBusy() {
  if (!busy.Busy()) return false;
  Edit1().SetText(busy.Status() + ui::kBusyRefusedMark);
  return true;
}

void TTesmarMainForm::DWGDXF1Click() {
  if (RefusedWhileBusy()) return;
  if (!FileExists(odaFullName)) {
    ui::ShowMessageBox(hwnd(), kConverterNotFound, FromWide(ui::kApplicationTitle), MB_OK | MB_ICONINFORMATION);
    return;
  }
  const std::u16string D = ChosenDrawingPath();
  const std::optional<DrawingStamp> drawing = StampOf(PathFromU16(D));
  std::u16string outFolder = ProgramFolder();
  std::u16string X = ConvertedDxfPath(outFolder, D);
  // A DXF file is shown again only when this run made it from this very drawing, unchanged
  // since; a file of the same name from another folder or an older state is converted anew.
  if (drawing && convertedDxf.MadeFrom(PathFromU16(X), *drawing)) {
    ShowInViewer(X);
    return;
  }
  if (!drawing) {
    ui::ShowMessageBox(hwnd(), D + u'\n' + kConversionFileNotFound, FromWide(ui::kApplicationTitle),
                       MB_OK | MB_ICONINFORMATION);
    return;
  }
  // A file of that name that the program did not make is never written over.
  if (FileExists(X) && !convertedDxf.Made(PathFromU16(X))) {
    outFolder = OwnConversionFolder();
    X = ConvertedDxfPath(outFolder, D);
  }
  // The program's own older file goes first, so that a failed conversion cannot show it. One
  // that cannot be deleted (the viewer may still be reading it) is left alone: the conversion
  // then goes to a folder of its own, where no older file stands.
  std::error_code ec;
  for (int n = 1; !RemovedOrAbsent(PathFromU16(X)); ++n) {
    if (n > 100) throw std::runtime_error(Utf16ToUtf8(X + u"\nファイルを削除できません．"));
    outFolder = NumberedConversionFolder(n);
    X = ConvertedDxfPath(outFolder, D);
  }

  const bool ownFolder = outFolder != ProgramFolder();
  const std::u16string status = std::u16string(kConvertingStatus) + kConvertingEscHint;
  ConversionEnd end;
  DWORD exitCode = 0;
  {
    ui::BusyScope scope(busy, status);
    ShowStatus(status);
    end = DwgToDxf(hwnd(), odaFullName, D, outFolder, MenuItem(u"ODAFileConverter2").Checked(), &exitCode);
  }
  if (end == ConversionEnd::Cancelled || end == ConversionEnd::Quitting || end == ConversionEnd::WaitFailed) {
    // The converter was ended: what it wrote is not a drawing, and nothing stays behind, nor
    // the folder it may have been given (when empty), since the exit's clean-up may have run.
    std::filesystem::remove(PathFromU16(X), ec);
    if (ownFolder) std::filesystem::remove(PathFromU16(outFolder), ec);
    if (end == ConversionEnd::Quitting) return;  // the window is gone: nothing more is done with it
    Edit1().SetText(u"");
    ui::ShowMessageBox(hwnd(), kConversionCancelled, FromWide(ui::kApplicationTitle),
                       MB_OK | (end == ConversionEnd::WaitFailed ? MB_ICONERROR : MB_ICONINFORMATION));
    return;
  }
  if (end == ConversionEnd::Ended) {
    if (FileExists(X)) {
      convertedDxf.Record(PathFromU16(X), *drawing);
      ShowInViewer(X);
    } else {
      Edit1().SetText(u"");
      ui::ShowMessageBox(hwnd(), ConversionFailedText(D, exitCode), FromWide(ui::kApplicationTitle),
                         MB_OK | MB_ICONERROR);
    }
  }
  Edit1().SetText(u"");
}

}  // namespace tesmar
