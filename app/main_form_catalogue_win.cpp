// Handlers of the main window for the library catalogue: the registered top folders, the walk
// of the chosen one and the folder lists (the rules they follow live in library/catalogue.h).
#include <windows.h>

#include <algorithm>

#include "app/main_form_win.h"
#include "base/flag_scope.h"
#include "base/strings.h"
#include "base/textfile.h"
#include "library/catalogue.h"
#include "library/ellipsize.h"
#include "render/image_canvas_win.h"
#include "render/prepare_canvas.h"
#include "ui/gdi.h"
#include "ui/topmost.h"

namespace tesmar {
namespace {

constexpr int kDroppedRows = 16;

// Thrown out of the folder walk when the top folder changed meanwhile; the walk starts again.
struct WalkRestart {};

int TextWidth(HFONT font, std::u16string_view s) {
  ui::WindowDc dc(nullptr);
  ui::Selection selected(dc.get(), font);
  SIZE size{};
  std::wstring w = ToWide(s);
  GetTextExtentPoint32W(dc.get(), w.c_str(), static_cast<int>(w.size()), &size);
  return size.cx;
}

}  // namespace

// The top folder: the registered folders come from the top-folder list; topDir chooses one of
// them (ignoring letter case), else the first. With no registered folder the program folder
// becomes the only one. A list that exists but cannot be read is reported and left alone: the
// program folder stands in for this run and the file is not written over.
void TTesmarMainForm::ChooseTopFolder(const std::u16string& topDir) {
  ui::ComboBox list = ComboBox1();
  bool listExists = false;
  topDirsLoaded_ = ui::RunGuarded([&] { listExists = ReadExistingTextLines(PathFromU16(TopDirsFile()), topDirs_); });
  if (listExists) {
    for (const auto& line : topDirs_.lines) list.Add(line);
    if (list.Count() > 0) {
      int found = topDir.empty() ? -1 : list.FindExact(topDir);
      list.SetItemIndex(found >= 0 ? found : 0);
      ComboBox1Change();
      ComboBox2Change();
    }
  }
  if (list.Count() == 0) {
    list.Add(ProgramFolder());
    list.SetItemIndex(0);
    ComboBox1Change();
    ComboBox2Change();
  }
}

// Writes the top-folder list back; a list that was never loaded is left as it stands.
void TTesmarMainForm::SaveTopDirs() {
  if (!topDirsLoaded_) return;
  topDirs_.lines = ComboBox1().Items();
  topDirs_.finalLineEnd = true;
  WriteTextLines(PathFromU16(TopDirsFile()), topDirs_);
}

std::u16string TTesmarMainForm::ChosenFolder() const {
  return DrawingFolderOf(ComboBox1().Text(), ComboBox2().Text());
}

void TTesmarMainForm::SetFolderCaption(const std::u16string& folder) {
  HFONT font = CaptionFont();
  std::u16string text = EllipsizeLeft(RemoveFirst(folder, ComboBox1().Text()),
                                      [font](std::u16string_view s) { return TextWidth(font, s); }, g_CaptionWidth);
  SetWindowTextW(hwnd(), WidePtr(text));
}

void TTesmarMainForm::ShowStatus(std::u16string_view text) {
  Edit1().SetText(text);
  ui::ProcessMessages();
}

void TTesmarMainForm::ComboBox1Change() {
  // The walk and the page fill let window messages through. A change of the top folder
  // meanwhile is not started inside them: it restarts the walk, or runs when the fill ends, so
  // that the second list always holds the folders of one top folder.
  if (cmb1Walking_ || g_cmb2Busy) {
    cmb1Again_ = true;
    return;
  }
  do {
    cmb1Again_ = false;
    try {
      FlagScope walking(cmb1Walking_);
      WalkTopFolder();
    } catch (const WalkRestart&) {
    }
  } while (cmb1Again_);
}

void TTesmarMainForm::WalkTopFolder() {
  Edit1().SetText(u"");
  ComboBox2().Clear();
  ComboBox3().Clear();
  grid.Clear();
  for (ui::ImageBox* im : ImgAry) {
    if (!im) continue;
    im->SetHint(u"");
    PrepareCanvas(CanvasOf(*im), im->Width(), im->Height(), 0);
  }
  if (ComboBox1().Count() == 0) return;

  const std::u16string top = ComboBox1().Text();
  CatalogueWalk walk = WalkCatalogue(top, g_dxfExt, [this](const std::u16string& text) {
    ShowStatus(text);
    if (cmb1Again_) throw WalkRestart{};
  });
  for (const auto& name : walk.topDrawings) ComboBox3().Add(name);
  for (const auto& folder : walk.drawingFolders) ComboBox2().Add(folder);

  if (ComboBox2().Count() > 0) {
    ComboBox2().SetItemIndex(0);
    ComboBox2Change();
    return;
  }
  g_dxfPath = top + kPathSeparator;
  SetFolderCaption(g_dxfPath);
  ShowStatus(kNoDrawingText);
}

void TTesmarMainForm::ComboBox1DropDown(ui::ComboBox Sender) {
  HFONT font = Sender.Font();
  int width = 0;
  for (const auto& item : Sender.Items()) width = std::max(width, TextWidth(font, item));
  width += g_DisplayScale * 10 / 100;
  if (Sender.Count() > kDroppedRows) width += GetSystemMetricsForDpi(SM_CXVSCROLL, GetDpiForWindow(Sender.hwnd()));
  Sender.SetDroppedWidth(width);
  droppedList_ = Sender.hwnd();
  RECT r;
  GetWindowRect(hwnd(), &r);
  if (GetSystemMetrics(SM_CXSCREEN) - r.left < width) {
    Sender.SetDroppedWidth(width);
    PostMessageW(hwnd(), WM_APP, 0, 0);
  }
}

void TTesmarMainForm::WMApp() {
  // The dropped part of the list that dropped last; every list has such a top-level window of
  // class "ComboLBox", hidden while closed, so a search by class alone could find another's.
  HWND list = nullptr;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (droppedList_ && GetComboBoxInfo(droppedList_, &info)) list = info.hwndList;
  if (!list) list = FindWindowW(L"ComboLBox", nullptr);
  if (!list) return;
  RECT r;
  GetWindowRect(list, &r);
  const int x = r.left - ((r.right - r.left) - ComboBox1().Width());
  SetWindowPos(list, nullptr, x, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TTesmarMainForm::Button2Click() {
  ui::TopmostStepOut out(hwnd());
  std::optional<std::u16string> chosen = ui::ChooseFolder(hwnd(), u"フォルダの指定");
  if (!chosen || chosen->empty() || ComboBox1().FindExact(*chosen) >= 0) return;
  ComboBox1().SetItemIndex(ComboBox1().Add(*chosen));
  ComboBox1Change();
}

void TTesmarMainForm::Button3Click() {
  const int i = ComboBox1().ItemIndex();
  if (i < 0) return;
  const std::u16string question = ComboBox1().Item(i) + u" の登録を削除しますか？";
  if (ui::ShowMessageBox(hwnd(), question, FromWide(ui::kApplicationTitle), MB_ICONINFORMATION | MB_YESNO | MB_DEFBUTTON1) != IDYES)
    return;
  ComboBox1().Delete(i);
  ComboBox1().SetItemIndex(ComboBox1().Count() > 0 ? 0 : -1);
  ComboBox1().Repaint();
  ComboBox1Change();
}

}  // namespace tesmar
