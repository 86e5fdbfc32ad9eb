// Handlers of the main window for the preview grid and its paging: the cells show the page of
// the grid model (library/grid_model.h), filled by the page fill (library/page_fill_win.h).
#include <windows.h>

#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "app/main_form_win.h"
#include "app/startup.h"
#include "base/flag_scope.h"
#include "base/strings.h"
#include "library/catalogue.h"
#include "library/ellipsize.h"
#include "library/page_fill_win.h"
#include "library/paging.h"
#include "render/image_canvas_win.h"
#include "render/prepare_canvas.h"
#include "ui/display.h"

namespace tesmar {
namespace {

constexpr COLORREF kShapeAqua = RGB(0, 255, 255);
constexpr COLORREF kShapeYellow = RGB(255, 255, 0);
constexpr COLORREF kSelectionFrame = RGB(255, 200, 0);
constexpr COLORREF kNameColour = RGB(224, 224, 224);

// What a cell's name line shows: the file name without the drawings' extension (a search
// result's name without its folder).
std::u16string DisplayName(const std::u16string& name, const std::u16string& ext) {
  std::u16string shown = name.substr(name.find_last_of(u"\\/") + 1);
  if (shown.size() > ext.size() && EndsWithIgnoreCase16(shown, ext)) shown.resize(shown.size() - ext.size());
  return shown;
}

// The picture at the top of the image; below it, when `name` is not empty, the name in the
// window's font, centred, ellipsized in the middle to the cell's width.
void ShowCell(const RgbImage& cell, ui::ImageBox& image, const std::u16string& name, HFONT font) {
  const int w = std::max(1, image.Width()), h = std::max(1, image.Height());
  ui::DibBitmap& pic = image.NewPicture(w, h);
  for (int y = 0; y < std::min(cell.height, h); ++y) {
    unsigned char* out = pic.Row(y);
    const Rgb* in = cell.Row(y);
    for (int x = 0; x < std::min(cell.width, w); ++x) {
      out[3 * x] = static_cast<unsigned char>(BlueOf(in[x]));
      out[3 * x + 1] = static_cast<unsigned char>(GreenOf(in[x]));
      out[3 * x + 2] = static_cast<unsigned char>(RedOf(in[x]));
    }
  }
  if (!name.empty() && h > cell.height) {
    HDC dc = pic.Dc();
    ui::Selection keep(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kNameColour);
    const int room = std::max(1, w - 2);
    const std::u16string text = EllipsizeMiddle(name, [dc](std::u16string_view s) {
      SIZE size{};
      const std::wstring t = ToWide(s);
      GetTextExtentPoint32W(dc, t.c_str(), static_cast<int>(t.size()), &size);
      return static_cast<int>(size.cx);
    }, room);
    RECT strip{1, cell.height, w - 1, h};
    const std::wstring t = ToWide(text);
    DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &strip, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    GdiFlush();
  }
  image.AsControl().Invalidate();
}

}  // namespace

// Lays out the 30 cells in the grid area: 6 columns x 5 rows, or 5 x 6 in an area taller than
// wide, as large as the area allows, with a 2-pixel margin; each image fills its cell inside
// the bevel, its picture a square with the name line below it.
void TTesmarMainForm::LayoutGrid(bool clearCells) {
  const int strip = showNames ? ui::Scaled(kNameStrip, dpi_) : 0;
  layout = LayOutGrid(panel102_.Width(), panel102_.Height(), strip, 2, 2);
  const int W = layout.cellWidth, H = layout.cellHeight;
  for (int i = 0; i < kCells; ++i) {
    if (ui::Panel* p = FindPanel(u"Panel" + IntToStr16(i + 1))) {
      PnlAry[i] = p;
      p->SetBounds((i % layout.columns) * W + 2, (i / layout.columns) * H + 2, W, H);
      p->SetShowCaption(false);
    }
    if (ui::ImageBox* im = FindImage(u"Image" + IntToStr16(i + 1))) {
      ImgAry[i] = im;
      im->SetBounds(1, 1, W - 2, H - 2);
      im->proportional = false;
      im->stretch = true;
      im->center = true;
      im->onMouseMove = [this](ui::ImageBox& sender, int x, int y) { Image1MouseMove(sender, x, y); };
      im->onDblClick = [this](ui::ImageBox& sender) { Image1DblClick(sender); };
      im->onMouseDown = [this](ui::ImageBox& sender, int x, int y) { Image1MouseDown(sender, x, y); };
      im->onMouseUp = [this](ui::ImageBox& sender) { Image1MouseUp(sender); };
      if (clearCells) {
        // A picture of an earlier size (before a DPI change) is replaced by one of the cell's.
        const int w = std::max(1, im->Width()), h = std::max(1, im->Height());
        if (!im->HasPicture() || im->Picture().Width() != w || im->Picture().Height() != h) im->NewPicture(w, h);
        PrepareCanvas(CanvasOf(*im), w, h, 0);
      }
    }
  }
  if (clearCells) shownLayout_ = layout;
}

void TTesmarMainForm::FrameResized() {
  if (!panel102_.hwnd() || !guide_) return;  // the controls are not made yet
  ApplyLayout();
  LayoutGrid(false);
  if (!frameDragging_) ShowCellsAgain();
}

// While the frame is dragged the pictures are stretched; at its end they are drawn anew, for
// the size the cells have then.
void TTesmarMainForm::ShowCellsAgain() {
  if (layout == shownLayout_) return;
  if (grid.Count() > 0) {
    FillPage();
  } else {
    LayoutGrid(true);
    for (ui::ImageBox* im : ImgAry)
      if (im) im->AsControl().Invalidate();
  }
  UpdateSelectionFrame();
}

void TTesmarMainForm::ComboBox2Change() {
  // Choosing the search's own entry again keeps the result; any folder leaves it.
  if (searching_ && ComboBox2().ItemIndex() == ComboBox2().Count() - 1) return;
  LeaveSearch();
  Edit1().SetText(u"");
  if (!g_cmb2Busy) makeDwgImages();
}

void TTesmarMainForm::makeDwgImages() {
  {
    FlagScope busy(g_cmb2Busy);
    ComboBox3().Clear();
    grid.Clear();
    const std::u16string P = ChosenFolder();
    // With no top folder there is no folder to list (an empty path is not the drive's root).
    if (!topFolders.Chosen().empty() && FolderExists(P)) {
      g_dxfPath = P;
      SetFolderCaption(P);
      std::vector<std::u16string> names = ListDrawingFiles(P, g_dxfExt);
      if (!names.empty()) {
        for (auto& name : names) {
          ui::ProcessMessages();
          name = RemoveFirst(name, P);
        }
        grid.SetDrawings(std::move(names));
        for (const auto& name : grid.dxfNameSL) ComboBox3().Add(name);
        ComboBox3().SetItemIndex(0);
        FillPage();
      }
    }
    ComboBox3().Clear();
    for (const auto& name : grid.dxfNameSL) ComboBox3().Add(name);
    if (grid.Count() > 0) ComboBox3().SetItemIndex(0);
    // A cell shows a drawing of the chosen folder or nothing: a folder without drawings (one
    // that lost them since the list was built included) leaves blank cells and no label, and
    // the status field says why the grid is empty.
    if (grid.Count() == 0) {
      BlankCells();
      const std::u16string top = topFolders.Chosen();
      if (!top.empty()) Edit1().SetText(FolderExists(P) ? std::u16string(kNoDrawingsText) : kTopFolderMissingText + top);
    }
    Label1().SetText(grid.Count() > 0 ? grid.Label() : u"");
    UpdateSelectionFrame();
  }
  if (cmb1Again_) ComboBox1Change();
}

void TTesmarMainForm::FillPage() {
  FillGridPage(grid, g_dxfPath, kCells, layout.picture, layout.picture, g_ImageClip,
               [this](int i, const std::u16string& name, const RgbImage& picture) {
                 if (ui::ImageBox* im = ImgAry[i]) {
                   im->SetHint(name);
                   ShowCell(picture, *im, showNames ? DisplayName(name, g_dxfExt) : std::u16string(), CaptionFont());
                 }
               });
  shownLayout_ = layout;
  UpdateSelectionFrame();
}

void TTesmarMainForm::BlankCells() {
  for (ui::ImageBox* im : ImgAry) {
    if (!im) continue;
    im->SetHint(u"");
    im->SetFrame(std::nullopt);
    PrepareCanvas(CanvasOf(*im), im->Width(), im->Height(), 0);
    im->AsControl().Invalidate();
  }
}

int TTesmarMainForm::SelectedCell() const {
  const int k = ComboBox3().ItemIndex();
  const int cell = k - grid.g_dxfTop;
  return k >= 0 && k < grid.Count() && cell >= 0 && cell < kCells ? cell : -1;
}

// The selected drawing's cell has the frame.
void TTesmarMainForm::UpdateSelectionFrame() {
  const int selected = SelectedCell();
  for (int i = 0; i < kCells; ++i) {
    if (ImgAry[i]) ImgAry[i]->SetFrame(i == selected ? std::optional<COLORREF>(kSelectionFrame) : std::nullopt);
  }
}

void TTesmarMainForm::SelectDrawing(int index) {
  if (index < 0 || index >= grid.Count()) return;
  if (grid.ShowPageOf(index)) {
    FillPage();
    ShowPageState();
  }
  ComboBox3().SetItemIndex(index);
  // The cell loses its bevel as under the pointer; the status field shows its description.
  const int cell = SelectedCell();
  for (int i = 0; i < kCells; ++i) {
    if (PnlAry[i]) PnlAry[i]->SetBevelRaised(i != cell);
  }
  UpdateSelectionFrame();
  if (cell >= 0 && ImgAry[cell]) ShowHoverText(*ImgAry[cell]);
}

void TTesmarMainForm::MoveSelection(GridMove move) {
  if (g_ImgBusy || g_cmb2Busy) return;
  const int next = ::tesmar::MoveSelection(ComboBox3().ItemIndex(), grid.Count(), layout.columns, layout.rows, move);
  if (next >= 0) SelectDrawing(next);
}

void TTesmarMainForm::N16Click() {
  const int cell = SelectedCell();
  if (cell < 0 || !ImgAry[cell]) return;
  Image1DblClick(*ImgAry[cell]);
}

bool TTesmarMainForm::HandleGridKey(const MSG& msg) {
  if (!hwnd() || !msg.hwnd || (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd))) return false;
  // A list whose dropped part is open keeps its keys and its wheel.
  for (HWND list : {combo1_, combo2_, combo3_})
    if (SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0)) return false;
  const bool inList = msg.hwnd == combo1_ || msg.hwnd == combo2_ || msg.hwnd == combo3_;
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  auto turn = [this](bool forward) {
    if (g_ImgBusy || g_cmb2Busy) return;
    ui::RunGuarded([&] {
      StopPaging();
      Edit1().SetText(u"");
      dwgImageUp(forward);
    });
  };
  auto guarded = [](const std::function<void()>& f) {
    ui::RunGuarded(f);
    return true;
  };
  switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // A click on a cell takes the keyboard from the lists: the arrow keys move in the grid.
      if (IsChild(panel102_.hwnd(), msg.hwnd) && GetFocus() != hwnd()) SetFocus(hwnd());
      return false;
    case WM_MOUSEWHEEL: {
      const POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      RECT area;
      GetWindowRect(panel102_.hwnd(), &area);
      if (!PtInRect(&area, at)) return false;
      // One page a notch (finer steps add up to one); turned away from the user is back.
      wheelRest_ += GET_WHEEL_DELTA_WPARAM(msg.wParam);
      for (; wheelRest_ >= WHEEL_DELTA; wheelRest_ -= WHEEL_DELTA) turn(false);
      for (; wheelRest_ <= -WHEEL_DELTA; wheelRest_ += WHEEL_DELTA) turn(true);
      return true;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      switch (msg.wParam) {
        case VK_PRIOR:
        case VK_NEXT:
          if (msg.message != WM_KEYDOWN) return false;
          turn(msg.wParam == VK_NEXT);
          return true;
        case VK_F5:
          return msg.message == WM_KEYDOWN && guarded([this] { N17Click(); });
        case VK_F10:
          // The menu key needs nothing here: it gives the window WM_CONTEXTMENU from the
          // keyboard, which opens the menu on the selected cell.
          if (!shift) return false;
          return guarded([this] { ShowPopupMenu(-1); });
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: {
          if (inList || msg.message != WM_KEYDOWN) return false;
          const GridMove move = msg.wParam == VK_LEFT    ? GridMove::Left
                                : msg.wParam == VK_RIGHT ? GridMove::Right
                                : msg.wParam == VK_UP    ? GridMove::Up
                                                         : GridMove::Down;
          return guarded([this, move] { MoveSelection(move); });
        }
        case VK_RETURN:
          if (inList || msg.message != WM_KEYDOWN) return false;
          return guarded([this] { N16Click(); });
      }
      return false;
    case WM_SYSKEYUP:
      // The release of Shift+F10: no menu-bar mode.
      return msg.wParam == VK_F10 && shift;
  }
  return false;
}


void TTesmarMainForm::ShowPageState() { Label1().SetText(grid.Label()); }

// After the preview size changed: a folder is read again, a search result keeps its page.
void TTesmarMainForm::ShowPreviewsAgain() {
  if (!searching_) {
    ComboBox2Change();
  } else if (grid.Count() > 0) {
    FillPage();
  }
}

bool TTesmarMainForm::ShowDwgPreview(const std::u16string& name, ui::ImageBox& image) {
  RgbImage cell;
  const bool shown = DrawPreviewCell(name, layout.picture, layout.picture, g_ImageClip, cell);
  ShowCell(cell, image, showNames && !name.empty() ? DisplayName(name, g_dxfExt) : std::u16string(), CaptionFont());
  return shown;
}

void TTesmarMainForm::dwgImageUp(bool upFlag) {
  {
    FlagScope busy(g_ImgBusy);
    if (grid.Turn(upFlag)) {
      FillPage();
      ComboBox3().SetItemIndex(grid.g_dxfTop);
      ShowPageState();
      UpdateSelectionFrame();
    }
  }
  ui::ProcessMessages();
}

// The paging buttons repeat as every Windows repeat button does: one page at the press, then,
// held past the keyboard repeat delay, one page per tick of Timer1.
void TTesmarMainForm::PressPaging(int mode) {
  Edit1().SetText(u"");
  bool timer = false;
  PressPagingButton({CMDMODE, pagingHeldTicks_, timer, grid.g_ImgUpNG, grid.g_ImgDnNG, g_ImgBusy}, mode,
                    [this](bool up) { dwgImageUp(up); });
  Timer1().SetEnabled(timer);
}

void TTesmarMainForm::SpeedButton3MouseDown() { PressPaging(kPagingBack); }

void TTesmarMainForm::SpeedButton3MouseUp() {
  bool timer = Timer1().Enabled();
  ReleasePagingButton({CMDMODE, pagingHeldTicks_, timer, grid.g_ImgUpNG, grid.g_ImgDnNG, g_ImgBusy});
  Timer1().SetEnabled(timer);
}

void TTesmarMainForm::SpeedButton4MouseDown() { PressPaging(kPagingForward); }

void TTesmarMainForm::SpeedButton4MouseUp() { SpeedButton3MouseUp(); }

void TTesmarMainForm::Timer1Timer() {
  bool timer = Timer1().Enabled();
  UINT delay = 1;  // 0 … 3: 250 … 1000 ms
  if (!SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0)) delay = 1;
  const int delayTicks = RepeatDelayTicks((static_cast<int>(delay) + 1) * 250, static_cast<int>(Timer1().Interval()));
  RunPagingTimerTick({CMDMODE, pagingHeldTicks_, timer, grid.g_ImgUpNG, grid.g_ImgDnNG, g_ImgBusy}, delayTicks,
                     [this](bool up) { dwgImageUp(up); });
  if (!timer) Timer1().SetEnabled(false);
}

void TTesmarMainForm::ComboBox3Change() {
  Edit1().SetText(u"");
  Shape1().SetColour(kShapeYellow);
  const int k = ComboBox3().ItemIndex();
  if (k >= 0) {
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT list;
    GetWindowRect(ComboBox3().hwnd(), &list);
    const bool overBox = cursor.x >= list.left + 1 && cursor.x <= list.right - 2 && cursor.y >= list.top + 1 &&
                          cursor.y <= list.bottom - 2;
    for (int i = 0; i < kCells; ++i) {
      ui::Panel* p = PnlAry[i];
      if (!p) continue;
      if (i == k % kCells) {
        p->SetBevelRaised(false);
        if (!overBox) {
          POINT centre{p->Width() / 2, p->Height() / 2};
          ClientToScreen(p->hwnd(), &centre);
          SetCursorPos(centre.x, centre.y);
        }
      } else if (!p->BevelRaised()) {
        p->SetBevelRaised(true);
      }
    }
    if (grid.ShowPageOf(k)) {
      FillPage();
      ShowPageState();
    }
  }
  UpdateSelectionFrame();
  ui::ProcessMessages();
  Shape1().SetColour(kShapeAqua);
}

void TTesmarMainForm::Image1MouseMove(ui::ImageBox& Sender, int X, int Y) {
  if (DragCheck(Sender, X, Y)) return;
  const std::u16string& name = Sender.Name();
  if (name.size() <= 5) return;
  int number = 0;
  for (std::size_t k = 5; k < name.size(); ++k) {
    if (name[k] < u'0' || name[k] > u'9' || number > 1000) return;
    number = number * 10 + (name[k] - u'0');
  }
  const int i = number - 1;
  if (i < 0 || i >= kCells || !PnlAry[i] || !ImgAry[i]) return;

  const bool hasFile = !ImgAry[i]->Hint().empty();
  bool entered = false;
  if (hasFile && PnlAry[i]->BevelRaised()) {
    PnlAry[i]->SetBevelRaised(false);
    entered = true;
  }
  for (int j = 0; j < kCells; ++j) {
    if (!PnlAry[j] || (j == i && hasFile)) continue;
    if (!PnlAry[j]->BevelRaised()) PnlAry[j]->SetBevelRaised(true);
  }
  const int entry = grid.g_dxfTop + i;
  ComboBox3().SetItemIndex(entry < ComboBox3().Count() ? entry : -1);
  UpdateSelectionFrame();
  if (entered) {
    ShowHoverText(*ImgAry[i]);
  } else if (!hasFile && !busy.Busy() && !Edit1().Text().empty()) {
    Edit1().SetText(u"");
  }
}

void TTesmarMainForm::N11Click() {
  MenuItem(u"N10").SetCaption(PreviewMenuCaption(true));
  g_ImageClip = true;
  ShowPreviewsAgain();
}

void TTesmarMainForm::N12Click() {
  MenuItem(u"N10").SetCaption(PreviewMenuCaption(false));
  g_ImageClip = false;
  ShowPreviewsAgain();
}

}  // namespace tesmar
