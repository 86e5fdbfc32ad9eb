#include "app/main_form_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/settings_file_win.h"
#include "app/startup.h"
#include "base/path_parts.h"
#include "base/strings.h"
#include "base/texts.h"
#include "library/catalogue.h"
#include "library/drawing_search_texts.h"
#include "library/paging.h"
#include "render/image_canvas_win.h"
#include "render/prepare_canvas.h"
#include "ui/dark_menu.h"
#include "ui/display.h"
#include "ui/theme.h"
#include "ui/topmost.h"

#include "tesmar_version.h"

namespace tesmar {

bool g_ImageClip = true;
std::u16string g_TargetProgID = kDefaultTargetProgID;

namespace {

// The frame can be dragged: the palette grows with it.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;

// Control ids of the main window.
enum : int {
  kComboBox1 = 101,
  kComboBox2,
  kComboBox3,
  kButton2,
  kButton3,
  kSpeedButton3,
  kSpeedButton4,
  kLabel1,
  kEdit1,
  kGuide,
  kImageFirst = 201,  // Image1 … Image30
  kTimer1 = 1,
  kMenuFirst = 1000,  // PopupMenu1's items in table order
};

// PopupMenu1, top to bottom; "-" is a separator, level 1 items belong to the sub-menu above.
struct MenuEntry {
  const char16_t* name;
  const char16_t* caption;
  int level;
  bool subMenu;
  void (TTesmarMainForm::*handler)();
  void (TTesmarMainForm::*senderHandler)(const ui::MenuItem&);
  const char16_t* key = nullptr;  // the key that does the same, shown after a tab
};
using F = TTesmarMainForm;
const MenuEntry kMenu[] = {
    {u"N10", kPreviewEnlargedCaption, 0, true, nullptr, nullptr},
    {u"N11", u"拡大", 1, false, &F::N11Click, nullptr},
    {u"N12", u"そのまま", 1, false, &F::N12Click, nullptr},
    {u"N13", u"-", 0, false, nullptr, nullptr},
    {u"ODAFileConverter1", u"ODAFileConverter.exe を登録 ...", 0, false, &F::ODAFileConverter1Click, nullptr},
    {u"ODAFileConverter2", u"変換中 ODAFileConverter を表示", 0, false, &F::ODAFileConverter2Click, nullptr},
    {u"N1", u"-", 0, false, nullptr, nullptr},
    {u"CAD5", u"ターゲット CAD", 0, false, &F::CAD5Click, nullptr},
    {u"N6", u"挿入設定 ...", 0, false, &F::N6Click, nullptr},
    {u"N9", u"-", 0, false, nullptr, nullptr},
    {u"N8", u"■ 説明ファイル作成、編集（メモ帳起動）", 0, false, &F::N8Click, nullptr},
    {u"N15", kSearchMenuCaption, 0, false, &F::N15Click, nullptr, u"Ctrl+F"},
    {u"N17", kReloadFolderCaption, 0, false, &F::N17Click, nullptr, u"F5"},
    {u"N7", u"-", 0, false, nullptr, nullptr},
    {u"LISP1", u"■ ロード LISP", 0, false, &F::LISP1Click, nullptr},
    {u"N2", u"-", 0, false, nullptr, nullptr},
    {u"DWGDXF1", u"■ DWG->DXF 変換 -> 表示 ...", 0, false, &F::DWGDXF1Click, nullptr},
    {u"N3", u"-", 0, false, nullptr, nullptr},
    {u"N16", kInsertAsDoubleClickCaption, 0, false, &F::N16Click, nullptr, u"Enter"},
    {u"CAD6", u"■ CAD へ挿入（コマンド）", 0, false, nullptr, &F::CAD6Click},
    {u"CAD7", u"■ CAD へ挿入（分解＋パージ）", 0, false, nullptr, &F::CAD6Click},
    {u"CAD8", u"■ CAD へ挿入（配線カット＋繰り返し）", 0, false, nullptr, &F::CAD6Click},
    {u"N4", u"-", 0, false, nullptr, nullptr},
    {u"N14", u"フォームサイズ", 0, true, nullptr, nullptr},
    {u"WidthWidth11", kWidenCaption, 1, false, nullptr, &F::WidthWidth11Click},
    {u"WidthWidth12", kNarrowCaption, 1, false, nullptr, &F::WidthWidth11Click},
    {u"HeightHeight11", kTallerCaption, 1, false, nullptr, &F::WidthWidth11Click},
    {u"HeightHeight12", kShorterCaption, 1, false, nullptr, &F::WidthWidth11Click},
    {u"N5", u"■ バージョン情報 ...", 0, false, &F::N5Click, nullptr},
};
constexpr int kMenuCount = static_cast<int>(std::size(kMenu));

std::u16string RunningExecutable() {
  std::wstring buf(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  buf.resize(n);
  return FromWide(buf);
}

HWND CreateStandard(const wchar_t* cls, DWORD style, DWORD exStyle, std::u16string_view text, HWND parent, int id) {
  HWND h = CreateWindowExW(exStyle, cls, ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!h) throw std::runtime_error("cannot create a control of the main window");
  return h;
}

}  // namespace

TTesmarMainForm::TTesmarMainForm(std::u16string exePath)
    : exePath_(exePath.empty() ? RunningExecutable() : std::move(exePath)), timer1_(kTimer1, 100) {
  openDialog1_.filter = u"*.exe|*.exe";
  openDialog1_.defaultExt = u".exe";
}

TTesmarMainForm::~TTesmarMainForm() { Destroy(); }

std::u16string TTesmarMainForm::ProgramFolder() const { return FolderOf(exePath_); }

std::u16string TTesmarMainForm::SettingsFile() const { return SettingsFileFor(exePath_); }
std::u16string TTesmarMainForm::TopDirsFile() const { return JoinPath(ProgramFolder(), u"TesmarTopDirs.txt"); }
std::u16string TTesmarMainForm::TargetListFile() const { return JoinPath(ProgramFolder(), u"TargetCAD_APIVersion.txt"); }

int TTesmarMainForm::DesignedClientHeight() const {
  return kDesignedClientHeight + (showNames ? 5 * kNameStrip : 0);
}

SIZE TTesmarMainForm::DesignedOuterSize() const {
  return ui::OuterSizeFor(ui::Scaled(kDesignedClientWidth, dpi_), ui::Scaled(DesignedClientHeight(), dpi_), kStyle,
                          kExStyle, dpi_);
}

// The top bar's controls whole, the status line and five rows of small cells.
SIZE TTesmarMainForm::MinimumOuterSize() const {
  auto s = [this](int v) { return ui::Scaled(v, dpi_); };
  const int strip = showNames ? s(kNameStrip) : 0;
  return ui::OuterSizeFor(s(272), s(66) + s(23) + 5 * (s(20) + strip + 2) + 2, kStyle, kExStyle, dpi_);
}

void TTesmarMainForm::Create() {
  ui::FormDesign params;
  params.className = L"TTesmarMainForm";
  params.caption = u"Tesmar";
  params.clientWidth = kDesignedClientWidth, params.clientHeight = DesignedClientHeight();
  params.style = kStyle;
  params.exStyle = kExStyle;
  params.centred = false;
  CreateForm(params);
  int actual = ui::DpiOf(hwnd());
  if (actual != dpi_) {
    dpi_ = actual;
    SIZE outer = DesignedOuterSize();
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  CreateControls();
  CreatePopupMenu1();
  ApplyLayout();
  FormCreate();
}

// The controls take the new font before the old one is deleted: none ever holds a dead handle.
void TTesmarMainForm::ApplyFonts() {
  ui::Font font = ui::CreateUiFont(12, dpi_);
  for (HWND c : {combo1_, combo2_, combo3_, label1_, edit1_, guide_}) ui::Control(c).SetFont(font.get());
  for (auto* b : {&button2_, &button3_, &speedButton3_, &speedButton4_}) b->AsControl().SetFont(font.get());
  font12_ = std::move(font);
}

void TTesmarMainForm::CreateControls() {
  HWND self = hwnd();
  panel101_.Create(self, u"Panel101", 0, 0, 10, 10);
  panel101_.SetShowCaption(false);
  panel102_.Create(self, u"Panel102", 0, 0, 10, 10);
  panel102_.SetShowCaption(false);
  panel103_.Create(self, u"Panel103", 0, 0, 10, 10);
  panel103_.SetShowCaption(false);

  // The lists show the top folders, the drawing folders and the drawings in the order the
  // program keeps them in (one comparison for the cells and the lists).
  constexpr DWORD kList = WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
  combo1_ = CreateStandard(L"ComboBox", kList, 0, u"", panel101_.hwnd(), kComboBox1);
  combo2_ = CreateStandard(L"ComboBox", kList, 0, u"", panel101_.hwnd(), kComboBox2);
  combo3_ = CreateStandard(L"ComboBox", kList, 0, u"", panel101_.hwnd(), kComboBox3);
  for (HWND c : {combo1_, combo2_, combo3_}) {
    ui::ComboBox(c).SetDropDownCount(16);
    ui::ThemeControl(c);
  }
  button2_.Create(panel101_.hwnd(), u"Button2", kAddButtonCaption, 0, 0, 10, 10, kButton2);
  button3_.Create(panel101_.hwnd(), u"Button3", kRemoveButtonCaption, 0, 0, 10, 10, kButton3);
  label1_ = CreateStandard(L"Static", SS_CENTER | SS_CENTERIMAGE, 0, u"", panel101_.hwnd(), kLabel1);
  speedButton3_.Create(panel101_.hwnd(), u"SpeedButton3", u"<<", 0, 0, 10, 10, kSpeedButton3);
  speedButton4_.Create(panel101_.hwnd(), u"SpeedButton4", u">>", 0, 0, 10, 10, kSpeedButton4);

  shape1_.Create(panel102_.hwnd(), u"Shape1", 0, 0, 10, 10, RGB(0, 255, 255));
  guide_ = CreateStandard(L"Static", SS_CENTER | SS_NOPREFIX, 0, kNoTopFolderGuide, panel102_.hwnd(), kGuide);
  ShowWindow(guide_, SW_HIDE);
  for (int i = 0; i < kCells; ++i) {
    panels_[i].Create(panel102_.hwnd(), u"Panel" + IntToStr16(i + 1), 0, 0, 10, 10);
    panels_[i].SetBevelRaised(true);
    panels_[i].SetColour(RGB(0, 0, 0));
    images_[i].Create(panels_[i].hwnd(), u"Image" + IntToStr16(i + 1), 1, 1, 8, 8, kImageFirst + i);
  }
  // The shape is the grid area's background: below every cell.
  SetWindowPos(shape1_.hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  edit1_ = CreateStandard(L"Edit", ES_READONLY | ES_AUTOHSCROLL, 0, u"", panel103_.hwnd(), kEdit1);

  ApplyFonts();

  button2_.onClick = [this] { Button2Click(); };
  button3_.onClick = [this] { Button3Click(); };
  speedButton3_.onMouseDown = [this] { SpeedButton3MouseDown(); };
  speedButton3_.onMouseUp = [this] { SpeedButton3MouseUp(); };
  speedButton4_.onMouseDown = [this] { SpeedButton4MouseDown(); };
  speedButton4_.onMouseUp = [this] { SpeedButton4MouseUp(); };
  timer1_.SetOwner(self);
}

void TTesmarMainForm::CreatePopupMenu1() {
  HMENU root = popupMenu1_.get();
  HMENU sub = nullptr;
  UINT rootPos = 0, subPos = 0;
  for (int i = 0; i < kMenuCount; ++i) {
    const MenuEntry& m = kMenu[i];
    UINT id = kMenuFirst + i;
    HMENU parent = m.level == 0 ? root : sub;
    UINT pos = m.level == 0 ? rootPos++ : subPos++;
    std::wstring caption = ToWide(m.key ? WithShortcut(m.caption, m.key) : std::u16string(m.caption));
    if (std::u16string_view(m.caption) == u"-") {
      AppendMenuW(parent, MF_SEPARATOR, id, nullptr);
    } else if (m.subMenu) {
      sub = ::CreatePopupMenu();
      subPos = 0;
      MENUITEMINFOW mi{};
      mi.cbSize = sizeof mi;
      mi.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_ID;
      mi.wID = id;
      mi.hSubMenu = sub;
      mi.dwTypeData = caption.data();
      InsertMenuItemW(parent, pos, TRUE, &mi);
    } else {
      AppendMenuW(parent, MF_STRING, id, caption.c_str());
    }
    menuItems_.emplace_back(m.name, parent, pos, id);
  }
  ui::MakeMenuDark(root);
}

const ui::MenuItem& TTesmarMainForm::MenuItem(std::u16string_view name) const {
  for (const auto& m : menuItems_)
    if (m.Name() == name) return m;
  throw std::out_of_range("no menu item " + Utf16ToUtf8(name));
}

ui::Panel* TTesmarMainForm::FindPanel(std::u16string_view name) {
  for (auto& p : panels_)
    if (p.Name() == name) return &p;
  return nullptr;
}

ui::ImageBox* TTesmarMainForm::FindImage(std::u16string_view name) {
  for (auto& im : images_)
    if (im.Name() == name) return &im;
  return nullptr;
}

// Every control at its designed place and size (96 dpi) scaled to the window's DPI, the bars
// as wide as the window: the lists grow with it, the buttons keep to its right edge, the grid
// area takes the height between the bars. LayoutGrid places the cells in it.
void TTesmarMainForm::ApplyLayout() {
  auto s = [this](int v) { return ui::Scaled(v, dpi_); };
  const SIZE client = ClientSize();
  const int w = std::max<int>(client.cx, 1), h = std::max<int>(client.cy, 1);
  const int top = s(66), bottom = s(23), grid = std::max(h - top - bottom, 1);
  const int dx = w - s(kDesignedClientWidth);  // what the window is wider than designed
  panel101_.SetBounds(0, 0, w, top);
  panel102_.SetBounds(0, top, w, grid);
  panel103_.SetBounds(0, top + grid, w, bottom);
  // The height given to a list box includes its dropped part (16 rows); the closed field takes
  // the height its font asks for.
  const int listHeight = s(20) + s(16) * 16, listWidth = std::max(s(200) + dx, s(60));
  ui::ComboBox(combo1_).SetBounds(s(2), s(1), listWidth, listHeight);
  ui::ComboBox(combo2_).SetBounds(s(2), s(22), listWidth, listHeight);
  ui::ComboBox(combo3_).SetBounds(s(2), s(43), listWidth, listHeight);
  button2_.SetBounds(s(205) + dx, s(1), s(33), s(20));
  button3_.SetBounds(s(239) + dx, s(1), s(33), s(20));
  ui::Label(label1_).SetBounds(s(205) + dx, s(22), s(67), s(20));
  speedButton3_.SetBounds(s(205) + dx, s(43), s(33), s(20));
  speedButton4_.SetBounds(s(239) + dx, s(43), s(33), s(20));
  shape1_.SetBounds(0, 0, w, grid);
  SetWindowPos(guide_, HWND_TOP, s(8), std::max(0, grid / 2 - s(24)), std::max(w - s(16), 1), s(48), SWP_NOACTIVATE);
  ui::Edit(edit1_).SetBounds(0, 0, w, bottom);
  // The caption's room follows the window's outer width.
  RECT outer;
  GetWindowRect(hwnd(), &outer);
  g_CaptionWidth = (outer.right - outer.left) - static_cast<std::int32_t>(std::trunc(g_DisplayScale * 124 / 100.0));
}

namespace {

// True when a file can be made in the folder (made and gone again at once).
bool FolderIsWritable(const std::u16string& folder) {
  const std::wstring probe = ToWide(JoinPath(folder, u"~tesmar-write-check.tmp"));
  HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

}  // namespace

std::int32_t TTesmarMainForm::ReadDisplayScale() { return ui::FirstMonitorScaleFactor().value_or(100); }

void TTesmarMainForm::FormCreate() {
  g_TargetProgID = kDefaultTargetProgID;
  grid = GridModel{};
  g_dxfExt = u".dwg";
  g_dxfPath.clear();
  Edit1().SetText(u"");

  g_DisplayScale = ReadDisplayScale();
  RECT wr;
  GetWindowRect(hwnd(), &wr);
  g_CaptionWidth = (wr.right - wr.left) - static_cast<std::int32_t>(std::trunc(g_DisplayScale * 124 / 100.0));

  LayoutGrid(true);

  SIZE designed = DesignedOuterSize();
  SettingsContext ctx{designed.cx, designed.cy, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                      ProgramFolder(), g_TargetProgID};
  Settings settings = ReadSettingsFile(SettingsFile(), ctx);
  ApplySettings(settings);
  settingsRead_ = true;

  ChooseTopFolder(settings.topDir);
  // The folder and the page of the last run, when the folder is still there.
  RestoreFolderAndPage(settings.lastFolder, settings.lastPage);
  SetTargetCaption();
  CreateMessageFilter();
  ui::SetTopmost(hwnd(), true);
  ui::ProcessMessages();
  // Settings, lists and converted drawings are written beside the program: a folder that
  // cannot be written is said once, and the program works on without saving them.
  programFolderWritable_ = FolderIsWritable(ProgramFolder());
  if (!programFolderWritable_) {
    ui::ShowMessageBox(hwnd(), kReadOnlyFolderMessage + ProgramFolder() + kReadOnlyFolderAdvice, u"Tesmar",
                       MB_OK | MB_ICONWARNING);
  }
}

void TTesmarMainForm::ApplySettings(const Settings& s) {
  showNames = s.showNames;
  // The size kept at 96 dpi gives the controls the same room at any DPI; a file without it
  // holds the size in pixels alone. The frame never goes below what the controls need.
  SIZE size{s.Width, s.Height};
  if (s.clientWidth96 > 0 && s.clientHeight96 > 0)
    size = ui::OuterSizeFor(ui::Scaled(s.clientWidth96, dpi_), ui::Scaled(s.clientHeight96, dpi_), kStyle, kExStyle,
                            dpi_);
  const SIZE least = MinimumOuterSize();
  size.cx = std::max(size.cx, least.cx), size.cy = std::max(size.cy, least.cy);
  SetWindowPos(hwnd(), nullptr, s.Left, s.Top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceOnAMonitor();
  FrameResized();  // the cells with or without their name lines
  odaFullName = s.odaFullName;
  MenuItem(u"ODAFileConverter2").SetChecked(s.dispFlag);
  insert = s.insert;
  MenuItem(u"LISP1").SetCaption(LispMenuCaption(insert.lspName));
  exeName = s.exeName;
  g_ImageClip = s.g_ImageClip;
  MenuItem(u"N10").SetCaption(PreviewMenuCaption(g_ImageClip));
  g_TargetProgID = s.g_TargetProgID;
}

Settings TTesmarMainForm::CurrentSettings() const {
  Settings s;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  RECT r{};
  if (IsIconic(hwnd()) && GetWindowPlacement(hwnd(), &wp)) r = wp.rcNormalPosition;
  else GetWindowRect(hwnd(), &r);
  s.Width = r.right - r.left;
  s.Height = r.bottom - r.top;
  s.Left = r.left;
  s.Top = r.top;
  // The client area at 96 dpi; a minimised window's from its normal place less its frame.
  SIZE client = ClientSize();
  if (IsIconic(hwnd())) {
    const SIZE frame = ui::OuterSizeFor(0, 0, kStyle, kExStyle, dpi_);
    client = SIZE{s.Width - frame.cx, s.Height - frame.cy};
  }
  s.clientWidth96 = std::max(1, MulDiv(client.cx, 96, dpi_));
  s.clientHeight96 = std::max(1, MulDiv(client.cy, 96, dpi_));
  s.showNames = showNames;
  // A search result is no folder: the folder is then the first one again.
  s.lastFolder = searching_ ? std::u16string() : ComboBox2().Text();
  s.lastPage = searching_ || grid.Count() == 0 ? 1 : PageShown(grid.g_dxfTop);
  s.odaFullName = odaFullName;
  s.topDir = topFolders.Chosen();
  s.dispFlag = MenuItem(u"ODAFileConverter2").Checked();
  s.insert = insert;
  s.exeName = exeName;
  s.g_ImageClip = g_ImageClip;
  s.g_TargetProgID = g_TargetProgID;
  return s;
}

void TTesmarMainForm::FormDestroy() {
  searchIndex_.Stop();
  SaveTopDirs();
  if (settingsRead_ && programFolderWritable_) WriteSettingsFile(SettingsFile(), CurrentSettings());
  grid.Clear();
  // Only the DXF files that this run's conversions made are deleted, never the user's own.
  convertedDxf.DeleteAll();
  RevokeMessageFilter();
}

void TTesmarMainForm::N5Click() {
  ui::ShowMessageBox(hwnd(), AboutText(Ascii16(TESMAR_VERSION_DOTTED)), u"Tesmar",
                     MB_OK | MB_ICONINFORMATION);
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

void TTesmarMainForm::ShowPopupMenu(LPARAM lp) {
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (lp == -1) {
    // From the keyboard: on the selected cell, else at the grid's top-left corner.
    const int cell = SelectedCell();
    if (cell >= 0 && PnlAry[cell]) {
      p = POINT{PnlAry[cell]->Width() / 2, PnlAry[cell]->Height() / 2};
      ClientToScreen(PnlAry[cell]->hwnd(), &p);
    } else {
      p = POINT{0, 0};
      ClientToScreen(panel102_.hwnd(), &p);
    }
  }
  UpdatePopupMenu1();
  popupMenu1_.Popup(hwnd(), p.x, p.y);
}

void TTesmarMainForm::UpdatePopupMenu1() {
  // What acts on a drawing needs one: a right-click on an empty cell selects none.
  const bool drawing = ComboBox3().ItemIndex() >= 0 && !ComboBox3().Text().empty();
  for (const char16_t* name : {u"N16", u"DWGDXF1", u"CAD6", u"CAD7", u"CAD8"}) MenuItem(name).SetEnabled(drawing);
  // What acts on the library needs a top folder.
  const bool library = !topFolders.Chosen().empty();
  for (const char16_t* name : {u"N8", u"N15", u"N17"}) MenuItem(name).SetEnabled(library);
}

void TTesmarMainForm::PlaceOnAMonitor() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          const RECT& w = info.rcWork;
          reinterpret_cast<std::vector<ScreenRect>*>(data)->push_back(ScreenRect{w.left, w.top, w.right, w.bottom});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  RECT r;
  GetWindowRect(hwnd(), &r);
  const ScreenRect now{r.left, r.top, r.right, r.bottom};
  const ScreenRect placed = BringOntoWorkArea(now, areas, ui::Scaled(40, dpi_));
  if (placed == now) return;
  SetWindowPos(hwnd(), nullptr, placed.left, placed.top, placed.Width(), placed.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TTesmarMainForm::OnCommand(int id, int code, HWND control) {
  if (!control) {
    int i = id - kMenuFirst;
    if (i < 0 || i >= kMenuCount) return;
    const MenuEntry& m = kMenu[i];
    if (m.handler) (this->*m.handler)();
    if (m.senderHandler) (this->*m.senderHandler)(menuItems_[i]);
    return;
  }
  switch (id) {
    case kComboBox1:
    case kComboBox2:
    case kComboBox3:
      if (code == CBN_DROPDOWN) {
        ComboBox1DropDown(ui::ComboBox(control));
      } else if (code == CBN_SELCHANGE) {
        if (id == kComboBox1) ComboBox1Change();
        if (id == kComboBox2) ComboBox2Change();
        if (id == kComboBox3) ComboBox3Change();
      }
      break;
  }
}

LRESULT TTesmarMainForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_TIMER:
      if (wp == timer1_.Id()) Timer1Timer();
      return 0;
    case WM_APP:
      WMApp();
      return 0;
    case WM_CONTEXTMENU:
      ShowPopupMenu(lp);
      return 0;
    case WM_GETMINMAXINFO: {
      const SIZE least = MinimumOuterSize();
      reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = POINT{least.cx, least.cy};
      return 0;
    }
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) FrameResized();
      return 0;
    case WM_ENTERSIZEMOVE:
      frameDragging_ = true;
      return 0;
    case WM_EXITSIZEMOVE:
      frameDragging_ = false;
      ShowCellsAgain();
      return 0;
    case WM_MEASUREITEM:
      if (ui::MeasureMenuItem(PopupMenu1(), dpi_, *reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
      break;
    case WM_DRAWITEM:
      if (ui::DrawMenuItem(dpi_, *reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
      break;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wp);
      ApplyFonts();
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      // The page shows its previews again at the new cell size, the names in the new font.
      FrameResized();
      shownLayout_ = GridLayout{};
      ShowCellsAgain();
      return 0;
    }
    case WM_DESTROY:
      if (!destroyed_) {
        destroyed_ = true;
        timer1_.SetEnabled(false);
        // The program ends however the saving goes.
        ui::RunGuarded([this] { FormDestroy(); });
      }
      if (endsProgram_) PostQuitMessage(0);
      return 0;
  }
  return Form::HandleMessage(msg, wp, lp);
}

}  // namespace tesmar
