// Handlers of the main window for the preview grid and its paging: the cells show the page of
// the grid model (library/grid_model.h), filled by the page fill (library/page_fill_win.h).
#include <windows.h>

#include <algorithm>

#include "app/main_form_win.h"
#include "app/startup.h"
#include "base/flag_scope.h"
#include "base/strings.h"
#include "library/catalogue.h"
#include "library/page_fill_win.h"
#include "library/paging.h"
#include "render/image_canvas_win.h"
#include "render/prepare_canvas.h"

namespace tesmar {
namespace {

constexpr COLORREF kShapeAqua = RGB(0, 255, 255);
constexpr COLORREF kShapeYellow = RGB(255, 255, 0);

void ShowCell(const RgbImage& cell, ui::ImageBox& image) {
  ui::DibBitmap& pic = image.NewPicture(cell.width, cell.height);
  for (int y = 0; y < cell.height; ++y) {
    unsigned char* out = pic.Row(y);
    const Rgb* in = cell.Row(y);
    for (int x = 0; x < cell.width; ++x) {
      out[3 * x] = static_cast<unsigned char>(BlueOf(in[x]));
      out[3 * x + 1] = static_cast<unsigned char>(GreenOf(in[x]));
      out[3 * x + 2] = static_cast<unsigned char>(RedOf(in[x]));
    }
  }
  image.AsControl().Invalidate();
}

}  // namespace

// Lays out the 30 cells from the size of Panel1: 6 columns x 5 rows at a pitch of Panel1's
// width and height, with a 2-pixel margin; each image fills its cell inside the bevel.
void TTesmarMainForm::LayoutGrid(bool clearCells) {
  const int W = panels_[0].Width(), H = panels_[0].Height();
  for (int i = 0; i < kCells; ++i) {
    if (ui::Panel* p = FindPanel(u"Panel" + IntToStr16(i + 1))) {
      PnlAry[i] = p;
      p->SetBounds((i % 6) * W + 2, (i / 6) * H + 2, W, H);
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
    if (FolderExists(P)) {
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
    // that lost them since the list was built included) leaves blank cells and no label.
    if (grid.Count() == 0) BlankCells();
    Label1().SetText(grid.Count() > 0 ? grid.Label() : u"");
  }
  if (cmb1Again_) ComboBox1Change();
}

void TTesmarMainForm::FillPage() {
  const ui::ImageBox* first = ImgAry[0];
  const int w = first ? first->Width() : 1, h = first ? first->Height() : 1;
  FillGridPage(grid, g_dxfPath, kCells, w, h, g_ImageClip,
               [this](int i, const std::u16string& name, const RgbImage& picture) {
                 if (ui::ImageBox* im = ImgAry[i]) {
                   im->SetHint(name);
                   ShowCell(picture, *im);
                 }
               });
}

void TTesmarMainForm::BlankCells() {
  for (ui::ImageBox* im : ImgAry) {
    if (!im) continue;
    im->SetHint(u"");
    PrepareCanvas(CanvasOf(*im), im->Width(), im->Height(), 0);
    im->AsControl().Invalidate();
  }
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
  const bool shown = DrawPreviewCell(name, image.Width(), image.Height(), g_ImageClip, cell);
  ShowCell(cell, image);
  return shown;
}

void TTesmarMainForm::dwgImageUp(bool upFlag) {
  {
    FlagScope busy(g_ImgBusy);
    if (grid.Turn(upFlag)) {
      FillPage();
      ComboBox3().SetItemIndex(grid.g_dxfTop);
      ShowPageState();
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
