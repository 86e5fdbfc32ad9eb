// Handlers of the main window for the library catalogue, the preview grid and the hint file
// (the portable rules they follow live in library/ and dwg/; here they meet the controls),
// and those of the CAD link and the conversion, which do nothing yet.
#include <windows.h>

#include <algorithm>

#include "app/main_form_win.h"
#include "base/silent_abort.h"
#include "base/strings.h"
#include "base/textfile.h"
#include "dwg/dwg_thumbnail_win.h"
#include "library/catalogue.h"
#include "library/ellipsize.h"
#include "library/hint_file.h"
#include "library/paging.h"
#include "library/preview_fit.h"
#include "render/prepare_canvas.h"

namespace tesmar {
namespace {

constexpr COLORREF kShapeAqua = RGB(0, 255, 255);
constexpr COLORREF kShapeYellow = RGB(255, 255, 0);
constexpr int kDroppedRows = 16;

// Sets a flag for the life of an operation and clears it however the operation ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

// Thrown out of the folder walk when the top folder changed meanwhile; the walk starts again.
struct WalkRestart {};

int TextWidth(HFONT font, std::u16string_view s) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  std::wstring w = ToWide(s);
  GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

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

std::u16string LocaleText(LCTYPE type, const char16_t* fallback) {
  wchar_t buf[16] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 16) <= 0 || buf[0] == 0) return fallback;
  return FromWide(buf);
}

// The last-write time of a file in local time; false when there is no such file.
bool FileLocalTime(const std::u16string& path, LocalTimeParts& out) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePtr(path), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return false;
  out = LocalTimeParts{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
  return true;
}

}  // namespace

// ---- Library catalogue

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
  dxfNameSL.clear();
  g_dxfTop = 0;
  g_ImgUpNG = true;
  g_ImgDnNG = true;
  for (ui::ImageBox* im : ImgAry) {
    if (!im) continue;
    im->SetHint(u"");
    PrepareCanvas(im->GetCanvas(), im->Width(), im->Height(), 0);
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
  StepOutOfTopmost();
  struct Back {
    TTesmarMainForm& f;
    ~Back() { f.StepIntoTopmost(); }
  } back{*this};
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

// ---- Preview grid and paging

void TTesmarMainForm::ComboBox2Change() {
  Edit1().SetText(u"");
  if (!g_cmb2Busy) makeDwgImages();
}

void TTesmarMainForm::makeDwgImages() {
  {
    FlagScope busy(g_cmb2Busy);
    ComboBox3().Clear();
    dxfNameSL.clear();
    g_dxfTop = 0;
    g_ImgUpNG = true;
    g_ImgDnNG = true;
    const std::u16string P = ChosenFolder();
    if (FolderExists(P)) {
      g_dxfPath = P;
      SetFolderCaption(P);
      std::vector<std::u16string> names = ListDrawingFiles(P, g_dxfExt);
      if (!names.empty()) {
        for (auto& name : names) {
          ui::ProcessMessages();
          dxfNameSL.push_back(RemoveFirst(name, P));
        }
        std::sort(dxfNameSL.begin(), dxfNameSL.end(),
                  [](const auto& a, const auto& b) { return CompareIgnoreCase16(a, b) < 0; });
        for (const auto& name : dxfNameSL) ComboBox3().Add(name);
        ComboBox3().SetItemIndex(0);
        FillPage();
      }
    }
    ComboBox3().Clear();
    for (const auto& name : dxfNameSL) ComboBox3().Add(name);
    if (!dxfNameSL.empty()) ComboBox3().SetItemIndex(0);
    const int n = static_cast<int>(dxfNameSL.size());
    g_ImgUpNG = n <= kCellsPerPage;
    g_pageCount = PageCount(n);
    Label1().SetText(PageLabel(0, g_pageCount));
  }
  if (cmb1Again_) ComboBox1Change();
}

void TTesmarMainForm::FillPage() {
  const int n = static_cast<int>(dxfNameSL.size());
  for (int i = 0; i < kCells; ++i) {
    ui::ImageBox* im = ImgAry[i];
    if (!im) continue;
    if (g_dxfTop + i < n) {
      im->SetHint(dxfNameSL[g_dxfTop + i]);
      ShowDwgPreview(g_dxfPath + dxfNameSL[g_dxfTop + i], *im);
    } else {
      im->SetHint(u"");
      ShowDwgPreview(u"", *im);
    }
  }
}

void TTesmarMainForm::ShowPageState() {
  const int n = static_cast<int>(dxfNameSL.size());
  Label1().SetText(PageLabel(g_dxfTop, g_pageCount));
  g_ImgDnNG = NoPreviousPage(g_dxfTop);
  g_ImgUpNG = NoNextPage(g_dxfTop, n);
}

bool TTesmarMainForm::ShowDwgPreview(const std::u16string& name, ui::ImageBox& image) {
  const int w = std::max(1, image.Width()), h = std::max(1, image.Height());
  RgbImage cell(w, h, kRgbBlack);
  bool shown = false;
  if (FileExists(name)) {
    RgbImage preview;
    try {
      if (LoadDwgThumbnail(name, preview)) {
        FitPreviewIntoCell(preview, cell, g_ImageClip);
        shown = true;
      } else {
        DrawPlaceholderCross(cell);
      }
    } catch (const SilentAbort&) {
      // A damaged file shows the placeholder in its own cell; the rest of the page goes on.
      cell = RgbImage(w, h, kRgbBlack);
      DrawPlaceholderCross(cell);
    }
  }
  ShowCell(cell, image);
  return shown;
}

void TTesmarMainForm::dwgImageUp(bool upFlag) {
  {
    FlagScope busy(g_ImgBusy);
    const int n = static_cast<int>(dxfNameSL.size());
    const int old = g_dxfTop;
    g_dxfTop = TurnedTop(old, n, upFlag);
    if (g_dxfTop != old) {
      FillPage();
      ComboBox3().SetItemIndex(g_dxfTop);
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
  PressPagingButton({CMDMODE, pagingHeldTicks_, timer, g_ImgUpNG, g_ImgDnNG, g_ImgBusy}, mode,
                    [this](bool up) { dwgImageUp(up); });
  Timer1().SetEnabled(timer);
}

void TTesmarMainForm::SpeedButton3MouseDown() { PressPaging(kPagingBack); }

void TTesmarMainForm::SpeedButton3MouseUp() {
  bool timer = Timer1().Enabled();
  ReleasePagingButton({CMDMODE, pagingHeldTicks_, timer, g_ImgUpNG, g_ImgDnNG, g_ImgBusy});
  Timer1().SetEnabled(timer);
}

void TTesmarMainForm::SpeedButton4MouseDown() { PressPaging(kPagingForward); }

void TTesmarMainForm::SpeedButton4MouseUp() { SpeedButton3MouseUp(); }

void TTesmarMainForm::Timer1Timer() {
  bool timer = Timer1().Enabled();
  UINT delay = 1;  // 0 … 3: 250 … 1000 ms
  if (!SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0)) delay = 1;
  const int delayTicks = RepeatDelayTicks((static_cast<int>(delay) + 1) * 250, static_cast<int>(Timer1().Interval()));
  RunPagingTimerTick({CMDMODE, pagingHeldTicks_, timer, g_ImgUpNG, g_ImgDnNG, g_ImgBusy}, delayTicks,
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
    if (PageTopOf(k) != g_dxfTop) {
      g_dxfTop = PageTopOf(k);
      FillPage();
      ShowPageState();
    }
  }
  ui::ProcessMessages();
  Shape1().SetColour(kShapeAqua);
}

void TTesmarMainForm::Image1MouseMove(ui::ImageBox& Sender, int X, int Y) {
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
  const int entry = g_dxfTop + i;
  ComboBox3().SetItemIndex(entry < ComboBox3().Count() ? entry : -1);
  if (entered) {
    ShowHoverText(*ImgAry[i]);
  } else if (!hasFile && !Edit1().Text().empty()) {
    Edit1().SetText(u"");
  }
}

void TTesmarMainForm::N11Click() {
  MenuItem(u"N10").SetCaption(u"プレビューイメージ=拡大");
  g_ImageClip = true;
  ComboBox2Change();
}

void TTesmarMainForm::N12Click() {
  MenuItem(u"N10").SetCaption(u"プレビューイメージ=そのまま");
  g_ImageClip = false;
  ComboBox2Change();
}

void TTesmarMainForm::WidthWidth11Click(const ui::MenuItem& Sender) {
  int dw = 0, dh = 0;
  if (Sender.Name() == u"WidthWidth11") dw = 1;
  else if (Sender.Name() == u"WidthWidth12") dw = -1;
  else if (Sender.Name() == u"HeightHeight11") dh = 1;
  else if (Sender.Name() == u"HeightHeight12") dh = -1;
  else return;
  RECT r;
  GetWindowRect(hwnd(), &r);
  SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Hint file

std::u16string TTesmarMainForm::HintFilePath() const { return ChosenFolder() + kHintFileName; }

void TTesmarMainForm::N8Click() {
  const std::u16string H = HintFilePath();
  const std::vector<std::u16string> drawings = ComboBox3().Items();
  // Notepad takes the path as its whole parameter; the quotes keep blanks in it together.
  const std::u16string param = u"\"" + H + u"\"";
  if (FileExists(H)) {
    UpdateHintFileOnDisk(PathFromU16(H), drawings);
    ui::ShellOpen(hwnd(), u"open", u"Notepad", param, u"", SW_SHOWNORMAL);
    return;
  }
  if (drawings.empty()) return;
  if (ui::ShowMessageBox(hwnd(), kHintCreateQuestion, FromWide(ui::kApplicationTitle), MB_ICONQUESTION | MB_YESNO) != IDYES)
    return;
  WriteFileAtomically(PathFromU16(H), FormatHintFile(NewHintFile(drawings)));
  ui::ShellOpen(ComboBox3().hwnd(), u"open", u"Notepad", param, u"", SW_SHOWNORMAL);
}

void TTesmarMainForm::ShowHoverText(const ui::ImageBox& cell) {
  const std::u16string H = HintFilePath();
  std::string bytes;
  if (FileExists(H) && ReadFileBytes(PathFromU16(H), bytes)) {
    auto description = FindHintDescription(ParseHintFile(bytes).Texts(), HintKeyOfName(ComboBox3().Text()));
    if (description) {
      Edit1().SetText(*description);
      return;
    }
  }
  LocalTimeParts t;
  if (FileLocalTime(DrawingPathOf(ComboBox1().Text(), ComboBox2().Text(), ComboBox3().Text()), t))
    Edit1().SetText(FormatHoverDate(t, LocaleText(LOCALE_SDATE, u"/"), LocaleText(LOCALE_STIME, u":"), cell.Hint()));
}

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
