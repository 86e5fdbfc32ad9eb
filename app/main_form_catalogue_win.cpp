// Handlers of the main window for the library catalogue: the registered top folders, the walk
// of the chosen one and the folder lists (the rules they follow live in library/catalogue.h).
#include <windows.h>

#include <algorithm>

#include "app/main_form_win.h"
#include "base/flag_scope.h"
#include "base/strings.h"
#include "base/texts.h"
#include "base/textfile.h"
#include "library/catalogue.h"
#include "library/ellipsize.h"
#include "library/paging.h"
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
// them (ignoring letter case), else the first. Nothing is registered by itself: with no top
// folder the grid shows how to add one. A list that exists but cannot be read is reported and
// left alone: the file is not written over.
void TTesmarMainForm::ChooseTopFolder(const std::u16string& topDir) {
  bool listExists = false;
  topDirsLoaded_ = ui::RunGuarded([&] { listExists = ReadExistingTextLines(PathFromU16(TopDirsFile()), topDirs_); });
  if (listExists) topFolders.Load(topDirs_.lines);
  const int found = topDir.empty() ? -1 : topFolders.Find(topDir);
  if (!topFolders.Empty()) topFolders.Choose(found >= 0 ? found : 0);
  ShowTopFolders();
  ComboBox1Change();
  ComboBox2Change();
}

// ComboBox1 shows the registered folders in their order, the chosen one selected.
void TTesmarMainForm::ShowTopFolders() {
  ComboBox1().Clear();
  for (const auto& folder : topFolders.Folders()) ComboBox1().Add(folder);
  ComboBox1().SetItemIndex(topFolders.ChosenIndex());
}

// Writes the registered folders back. A list that was never loaded is left as it stands, and
// an empty list replaces it only when the user removed every folder.
void TTesmarMainForm::SaveTopDirs() {
  // A program folder that cannot be written was said at start; the list is not saved then.
  if (!topDirsLoaded_ || !topFolders.ShouldWrite() || !programFolderWritable_) return;
  topDirs_.lines = topFolders.Folders();
  topDirs_.finalLineEnd = true;
  WriteTextLines(PathFromU16(TopDirsFile()), topDirs_);
}

std::u16string TTesmarMainForm::ChosenFolder() const {
  if (searching_) {
    // The found drawing's own folder (the top folder while none is selected).
    const std::u16string path = ChosenDrawingPath();
    return path.substr(0, path.find_last_of(u"\\/") + 1);
  }
  return DrawingFolderOf(topFolders.Chosen(), ComboBox2().Text());
}

void TTesmarMainForm::SetFolderCaption(const std::u16string& folder) {
  HFONT font = CaptionFont();
  // The path below the top folder, from its separator on ("\" alone for the top folder, a
  // drive root included).
  std::u16string top = topFolders.Chosen();
  if (EndsWithSeparator(top)) top.pop_back();
  std::u16string text = EllipsizeLeft(RemoveFirst(folder, top),
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
  // The user's pick in the list chooses the folder; a list that lost its entries chooses none.
  const int picked = ComboBox1().ItemIndex();
  if (picked >= 0 && picked < static_cast<int>(topFolders.Folders().size())) topFolders.Choose(picked);
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

std::u16string TTesmarMainForm::GridGuideText() const {
  const bool shown = (GetWindowLongW(guide_, GWL_STYLE) & WS_VISIBLE) != 0;
  return shown ? ui::WindowText(guide_) : std::u16string();
}

// With no top folder the cells give way to the guide.
void TTesmarMainForm::ShowGridGuide() {
  const bool guide = topFolders.Empty();
  ShowWindow(guide_, guide ? SW_SHOWNA : SW_HIDE);
  for (ui::Panel* p : PnlAry)
    if (p) ShowWindow(p->hwnd(), guide ? SW_HIDE : SW_SHOWNA);
}

void TTesmarMainForm::WalkTopFolder() {
  Edit1().SetText(u"");
  searching_ = false;
  ComboBox2().Clear();
  ComboBox3().Clear();
  grid.Clear();
  BlankCells();
  ShowGridGuide();
  const std::u16string top = topFolders.Chosen();
  if (top.empty()) {
    Label1().SetText(u"");
    SetWindowTextW(hwnd(), L"Tesmar");
    return;
  }
  // A folder that is gone, or on a drive or server that is offline, stays registered.
  if (!FolderExists(top)) {
    g_dxfPath.clear();
    Label1().SetText(u"");
    SetWindowTextW(hwnd(), L"Tesmar");
    ShowStatus(kTopFolderMissingText + top);
    return;
  }
  CatalogueWalk walk = WalkCatalogue(top, g_dxfExt, [this](const std::u16string& text) {
    ShowStatus(text);
    if (cmb1Again_) throw WalkRestart{};
  });
  for (const auto& name : walk.topDrawings) ComboBox3().Add(name);
  for (const auto& folder : walk.drawingFolders) ComboBox2().Add(folder);

  if (ComboBox2().Count() > 0) {
    ComboBox2().SetItemIndex(0);
    ComboBox2Change();
  } else {
    g_dxfPath = WithTrailingSeparator(top);
    Label1().SetText(u"");
    SetFolderCaption(g_dxfPath);
    ShowStatus(kNoDrawingsText);
  }
  // The first page is shown: the search's reading of the library goes on aside.
  StartSearchIndex();
}

void TTesmarMainForm::N17Click() {
  if (cmb1Walking_ || g_cmb2Busy || searchWalking_ || topFolders.Chosen().empty()) return;
  const std::u16string folder = searching_ ? std::u16string() : ComboBox2().Text();
  const int page = grid.Count() > 0 && !searching_ ? PageShown(grid.g_dxfTop) : 1;
  const int selected = ComboBox3().ItemIndex();
  ComboBox1Change();
  RestoreFolderAndPage(folder, page);
  if (selected >= 0 && PageTopOf(selected) == grid.g_dxfTop && selected < grid.Count()) SelectDrawing(selected);
}

void TTesmarMainForm::RestoreFolderAndPage(const std::u16string& folder, int page) {
  if (!folder.empty() && !searching_) {
    const auto& items = ComboBox2().Items();
    const auto it = std::find(items.begin(), items.end(), folder);
    const int at = it == items.end() ? -1 : static_cast<int>(it - items.begin());
    if (at >= 0 && at != ComboBox2().ItemIndex()) {
      ComboBox2().SetItemIndex(at);
      ComboBox2Change();
    }
  }
  if (page > 1 && grid.Count() > 0) {
    const int top = std::min(page - 1, grid.g_pageCount - 1) * kCellsPerPage;
    if (grid.ShowPageOf(top)) {
      FillPage();
      ComboBox3().SetItemIndex(grid.g_dxfTop);
      ShowPageState();
      UpdateSelectionFrame();
    }
  }
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
  // Its right edge under the list control's, within the work area of the window's monitor.
  const int x = r.left - ((r.right - r.left) - ComboBox1().Width());
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  const DroppedSpan placed = KeepWithinWorkArea({x, r.right - r.left}, monitor.rcWork.left, monitor.rcWork.right);
  SetWindowPos(list, nullptr, placed.left, r.top, placed.width, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TTesmarMainForm::Button2Click() {
  ui::TopmostStepOut out(hwnd());
  std::optional<std::u16string> chosen = ui::ChooseFolder(hwnd(), kChooseFolderTitle);
  if (!chosen || chosen->empty()) return;
  const int at = topFolders.Add(*chosen);
  if (at < 0) return;
  topFolders.Choose(at);
  ShowTopFolders();
  ComboBox1Change();
}

void TTesmarMainForm::Button3Click() {
  const int i = topFolders.ChosenIndex();
  if (i < 0) return;
  const std::u16string question = topFolders.Folders()[i] + kRemoveTopFolderQuestion;
  if (ui::ShowMessageBox(hwnd(), question, FromWide(ui::kApplicationTitle), MB_ICONINFORMATION | MB_YESNO | MB_DEFBUTTON1) != IDYES)
    return;
  topFolders.Remove(i);
  ShowTopFolders();
  ComboBox1().Repaint();
  ComboBox1Change();
}

}  // namespace tesmar
