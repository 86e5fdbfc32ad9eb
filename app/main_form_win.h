#pragma once
// TTesmarMainForm: the main window. It owns the state of the drawing library, the CAD link
// and the conversion; its handlers are named after the control and the event. The sources are
// split by topic: main_form_win.cpp (the window, its controls and layout, the start-up and
// shut-down sequence, the message router, the About box), main_form_catalogue_win.cpp,
// main_form_grid_win.cpp (preview grid and paging), main_form_hint_win.cpp,
// main_form_cadlink_win.cpp and main_form_convert_win.cpp.
#include <windows.h>
#include <objidl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/converted_files.h"
#include "app/search_form_win.h"
#include "app/settings.h"
#include "base/path_parts.h"
#include "base/textfile.h"
#include "cadlink/cad_link_win.h"
#include "cadlink/commands.h"
#include "library/grid_model.h"
#include "library/background_index.h"
#include "library/search_index.h"
#include "library/top_folders.h"
#include "ui/controls.h"
#include "ui/busy.h"
#include "ui/custom_controls.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/seams.h"
#include "ui/window.h"

namespace tesmar {

// Values at unit level: other windows read or write them.
extern bool g_ImageClip;                // previews cropped and enlarged (true) or whole
extern std::u16string g_TargetProgID;  // ProgID of the target CAD program
extern ui::ComPtr<TMessageFilter> g_MessageFilter;  // the message filter registered at creation

class TTesmarMainForm : public ui::Form {
 public:
  static constexpr int kCells = 30;
  static constexpr int kDesignedClientWidth = 274, kDesignedClientHeight = 316;
  static constexpr int kCellSize = 45;
  static constexpr int kNameStrip = 14;  // the line under a picture for the drawing's name (96 dpi)

  // exePath: the executable whose folder is the program folder and whose ".ini" is the
  // settings file; empty means the running executable.
  explicit TTesmarMainForm(std::u16string exePath = {});
  ~TTesmarMainForm() override;

  // Creates the window and its controls (hidden) and runs FormCreate.
  void Create();
  // Closing the main window ends the program: WM_QUIT follows its destruction when set.
  void SetEndsProgram(bool on) { endsProgram_ = on; }

  // ---- Paths
  const std::u16string& ExePath() const { return exePath_; }
  std::u16string ProgramFolder() const;  // without trailing '\' (a drive root keeps it)
  std::u16string ProgramFolderSlash() const { return WithTrailingSeparator(ProgramFolder()); }
  std::u16string SettingsFile() const;
  std::u16string TopDirsFile() const;    // "TesmarTopDirs.txt" in the program folder
  std::u16string TargetListFile() const; // "TargetCAD_APIVersion.txt" in the program folder

  // ---- Controls
  ui::Panel& Panel101() { return panel101_; }
  ui::ComboBox ComboBox1() const { return ui::ComboBox(combo1_); }
  ui::ComboBox ComboBox2() const { return ui::ComboBox(combo2_); }
  ui::ComboBox ComboBox3() const { return ui::ComboBox(combo3_); }
  ui::FlatButton& Button2() { return button2_; }
  ui::FlatButton& Button3() { return button3_; }
  ui::Label Label1() const { return ui::Label(label1_); }
  ui::FlatButton& SpeedButton3() { return speedButton3_; }
  ui::FlatButton& SpeedButton4() { return speedButton4_; }
  ui::Panel& Panel102() { return panel102_; }
  ui::Shape& Shape1() { return shape1_; }
  ui::Panel& Panel103() { return panel103_; }
  ui::Edit Edit1() const { return ui::Edit(edit1_); }
  ui::OpenDialog& OpenDialog1() { return openDialog1_; }
  ui::Timer& Timer1() { return timer1_; }
  HMENU PopupMenu1() const { return popupMenu1_.get(); }
  // A menu item of PopupMenu1 by its name ("N10", "CAD5", ...); throws when there is none.
  const ui::MenuItem& MenuItem(std::u16string_view name) const;
  const std::vector<ui::MenuItem>& MenuItems() const { return menuItems_; }
  // The panels Panel1 … Panel30 and images Image1 … Image30 by name; nullptr when missing.
  ui::Panel* FindPanel(std::u16string_view name);
  ui::ImageBox* FindImage(std::u16string_view name);
  // The window's own font (Tahoma 12 px at the window's DPI), for measuring captions.
  HFONT CaptionFont() const { return font12_.get(); }

  // ---- Own state
  std::array<ui::Panel*, kCells> PnlAry{};
  std::array<ui::ImageBox*, kCells> ImgAry{};
  GridModel grid;  // the current folder's drawings and the page shown
  TopFolders topFolders;  // the registered top folders and the chosen one; ComboBox1 shows them
  bool showNames = true;  // each cell shows its drawing's name under the picture
  GridLayout layout;      // where the cells are, for the grid area's size
  std::int32_t g_CaptionWidth = 0;
  std::int32_t g_DisplayScale = 0;
  std::u16string g_dxfExt;
  std::u16string g_dxfPath;
  bool g_cmb2Busy = false;
  bool g_ImgBusy = false;
  std::int32_t CMDMODE = 0;
  std::u16string odaFullName;
  std::u16string exeName;
  // The insert settings, as the commands read them and the settings dialog edits them.
  InsertSettings insert;
  // The DXF files this run's conversions created; deleted by FormDestroy.
  ConvertedFiles convertedDxf;

  // ---- Handlers and operations of the window's life cycle
  void FormCreate();
  void FormDestroy();
  void N5Click();  // About
  // The display scale of the first monitor in percent; 100 when it cannot be read.
  std::int32_t ReadDisplayScale();

  // ---- Library catalogue
  void ComboBox1Change();
  void ComboBox1DropDown(ui::ComboBox Sender);  // shared by the three lists
  void WMApp();
  void Button2Click();
  void Button3Click();
  // ---- Preview grid and paging
  void ComboBox2Change();
  void ComboBox3Change();
  void SpeedButton3MouseDown();
  void SpeedButton3MouseUp();
  void SpeedButton4MouseDown();
  void SpeedButton4MouseUp();
  void Timer1Timer();
  void Image1MouseMove(ui::ImageBox& Sender, int X, int Y);
  void N11Click();
  void N12Click();
  void WidthWidth11Click(const ui::MenuItem& Sender);  // all four size items
  // Operations of the preview grid.
  void makeDwgImages();
  void dwgImageUp(bool upFlag);
  // Fills one cell: black, the fitted preview, or the placeholder cross for a drawing without
  // a readable preview (a damaged file included). True when a preview was shown.
  bool ShowDwgPreview(const std::u16string& name, ui::ImageBox& image);
  // ---- Keyboard and wheel of the grid
  // The keys of the grid, ahead of the control that has the focus: the arrow keys, Enter and
  // the menu key (not while a list has the focus), PageUp, PageDown, F5, Shift+F10, and the
  // wheel over the grid. True when the message was taken.
  bool HandleGridKey(const MSG& msg);
  void MoveSelection(GridMove move);
  // Selects a drawing of the folder: its page, its entry of ComboBox3 and the frame on its cell.
  void SelectDrawing(int index);
  void N16Click();  // insert the selected drawing, as a double-click does (Enter)
  void N17Click();  // read the chosen top folder again (F5), staying in the folder and page
  // The cell of the selected drawing on the page shown; -1 when it is on no cell.
  int SelectedCell() const;
  // The text over the grid when no top folder is registered; empty when it is hidden.
  std::u16string GridGuideText() const;
  // Greys what needs a drawing when none is chosen; the pop-up menu runs this before it opens.
  void UpdatePopupMenu1();
  // ---- Hint file
  void N8Click();
  // ---- CAD link
  void CAD5Click();
  void N6Click();
  void Image1DblClick(ui::ImageBox& Sender);
  void LISP1Click();
  void CAD6Click(const ui::MenuItem& Sender);  // CAD6, CAD7, CAD8
  void CreateMessageFilter();   // creates, stores in g_MessageFilter and registers it
  void RevokeMessageFilter();
  // Sends a command text to the target CAD program (g_TargetProgID), as one long thing: it is
  // refused while another runs, and a busy program is waited for (cadWaitBoundMs in all) with
  // the seconds in the status field, until Esc or a close of the window. A program that does not
  // run is named in the status field. `insertCommand`: the text is the insert command, whose
  // ATTREQ is put back to the user's value.
  void SendToTargetCad(std::u16string_view command, bool insertCommand = false);
  DWORD cadWaitBoundMs = CadCallWait::kDefaultBoundMs;
  // The target's name in the target list, else its ProgID.
  std::u16string TargetDisplayName() const;
  // Stops the paging auto-repeat, as every insert does first.
  void StopPaging();
  // ---- Search across the library and dragging a drawing out (main_form_search_win.cpp,
  // main_form_drag_win.cpp)
  void N15Click();  // 図面を検索 ...
  // Walks the chosen top folder (reusing what an earlier search or the walk in the background
  // read; a background walk still running is waited for) and shows the drawings that match
  // `text` like a folder; false when the walk was cancelled (Esc) and nothing changed.
  bool SearchDrawings(const std::u16string& text);
  // Starts reading the chosen top folder for the search in the background, below normal
  // priority (once the folder's own walk has shown its first page).
  void StartSearchIndex();
  // The background reading of the search index (tests wait for it to end).
  BackgroundIndex& SearchIndexWalk() { return searchIndex_; }
  bool Searching() const { return searching_; }
  const std::vector<std::u16string>& SearchHistory() const { return searchHistory_; }
  const IndexWalk& LastIndexWalk() const { return lastWalk_; }
  TSearchForm& SearchForm();
  // The full path of the drawing ComboBox3 has selected (in a search result or a folder).
  std::u16string ChosenDrawingPath() const;
  // The main window's own keys, ahead of the control that has the focus (Ctrl+F); true when
  // the message was taken.
  bool HandleShortcut(const MSG& msg);
  void Image1MouseDown(ui::ImageBox& Sender, int X, int Y);
  void Image1MouseUp(ui::ImageBox& Sender);
  // Drags the drawing of a cell out as a file (OLE drag and drop); the effect the target chose.
  DWORD DragDrawing(ui::ImageBox& cell, const std::u16string& path);
  int DragsStarted() const { return dragsStarted_; }  // this run

  // ---- Conversion
  void ODAFileConverter1Click();
  void ODAFileConverter2Click();
  void DWGDXF1Click();
  // Hands a DXF file to the viewer: its path, entity colours, the window shown, the opening.
  void ShowInViewer(const std::u16string& dxfPath);
  // The program's one long thing at a time (a conversion, a call to the CAD program).
  ui::BusyMark busy;
  // True when another long thing runs: the request is then refused, and the status field says
  // so (the running work's own status text stays, with the refusal added).
  bool RefusedWhileBusy();
  // The folder that takes a conversion whose DXF file name is taken in the program folder by
  // a file the program did not make (made on first use, removed at exit when empty).
  std::u16string OwnConversionFolder();
  // A folder of its own for one conversion (number n inside the folder above), when the DXF
  // file of that name cannot be deleted where it would go.
  std::u16string NumberedConversionFolder(int n);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void CreateControls();
  void CreatePopupMenu1();
  void ApplyFonts();
  void ApplyLayout();
  SIZE DesignedOuterSize() const;
  int DesignedClientHeight() const;  // with the name strips when names are shown
  SIZE MinimumOuterSize() const;
  void LayoutGrid(bool clearCells);
  // The window was resized: the bars follow, the cells grow or shrink; their pictures are drawn
  // again at the new size unless the frame is still being dragged (then at the end of it).
  void FrameResized();
  void ShowCellsAgain();
  void PlaceOnAMonitor();
  void RestoreFolderAndPage(const std::u16string& folder, int page);
  void UpdateSelectionFrame();
  void ShowGridGuide();
  void ApplySettings(const Settings& s);
  Settings CurrentSettings() const;
  void ChooseTopFolder(const std::u16string& topDir);
  void SetTargetCaption();
  void SaveTopDirs();
  void OnCommand(int id, int code, HWND control);
  void ShowPopupMenu(LPARAM lp);
  std::u16string exePath_;
  bool endsProgram_ = false;
  bool destroyed_ = false;
  TextLines topDirs_;  // the top-folder list as read (its encoding is kept for writing)
  bool topDirsLoaded_ = false;  // false: the list was never read and is not written over
  bool settingsRead_ = false;   // false: the start failed first; the file is not written over
  bool programFolderWritable_ = true;  // checked at start; settings are not written when false

  ui::Font font12_;
  ui::Panel panel101_, panel102_, panel103_;
  HWND combo1_ = nullptr, combo2_ = nullptr, combo3_ = nullptr;
  ui::FlatButton button2_, button3_, speedButton3_, speedButton4_;
  HWND label1_ = nullptr, edit1_ = nullptr;
  ui::Shape shape1_;
  HWND guide_ = nullptr;  // the guide over the grid while no top folder is registered
  bool frameDragging_ = false;  // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
  int wheelRest_ = 0;     // wheel movement not yet turned into a page
  GridLayout shownLayout_;  // the layout the cells' pictures were drawn for
  std::array<ui::Panel, kCells> panels_;
  std::array<ui::ImageBox, kCells> images_;
  ui::OpenDialog openDialog1_;
  ui::Timer timer1_;
  ui::PopupMenu popupMenu1_;
  std::vector<ui::MenuItem> menuItems_;

  // The catalogue, the grid and the hint file.
  std::u16string ChosenFolder() const;   // the drawing folder of the first two lists, with '\'
  std::u16string HintFilePath() const;
  void SetFolderCaption(const std::u16string& folder);
  void ShowStatus(std::u16string_view text);  // Edit1, then pending messages once
  void WalkTopFolder();
  void FillPage();        // the 30 cells of the page the grid model shows
  void ShowPageState();   // Label1 and the paging flags after a page change
  void ShowPreviewsAgain();
  void ShowHoverText(const ui::ImageBox& cell);
  void PressPaging(int mode);  // a paging button went down
  void ShowTopFolders();       // fills ComboBox1 from topFolders
  void BlankCells();           // every cell black, with no drawing
  int pagingHeldTicks_ = 0;    // timer ticks since the paging button went down
  bool cmb1Walking_ = false;  // the folder walk of ComboBox1Change is running
  bool cmb1Again_ = false;    // the top folder changed meanwhile: walk again afterwards
  HWND droppedList_ = nullptr;  // the list that dropped down last (WMApp moves its dropped part)

  // Search and drag.
  void LeaveSearch();          // ComboBox2 loses the search entry; the folder shows again
  bool DragCheck(ui::ImageBox& cell, int x, int y);  // true when a drag started and ended
  BackgroundIndex searchIndex_;
  IndexWalk lastWalk_;
  bool searching_ = false;     // the grid shows a search result
  bool searchWalking_ = false;
  std::vector<std::u16string> searchHistory_;
  std::unique_ptr<TSearchForm> searchForm_;
  ui::ImageBox* pressedCell_ = nullptr;  // the left button went down here and has not come up
  POINT pressedAt_{};
  int dragsStarted_ = 0;
};

}  // namespace tesmar
