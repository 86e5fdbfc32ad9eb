#pragma once
// TMorvikZoomerForm: the drawing viewer. Created hidden at start-up and kept until the end;
// closing it only hides it. An open request opens one DXF file aside, on a worker thread, while
// the window shows the progress and stays usable; the complete drawing then replaces the one
// shown, with its picks, views and index. It is fitted to the image box, with zoom and pan
// (mouse and keys), pick and measure, and the layer panel. Its handlers are named after the
// control and the event; they live in one file per topic (zoomer_*_win.cpp).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dxf/model.h"
#include "render/geometry.h"
#include "render/offscreen_win.h"
#include "render/view.h"
#include "ui/check_list_box.h"
#include "ui/controls.h"
#include "ui/custom_controls.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/splitter.h"
#include "viewer/navigation.h"
#include "viewer/open_drawing.h"
#include "viewer/zoomer_controls_win.h"

namespace tesmar {

// How the last opening took its time, in milliseconds: the read, the post-processing with the
// index, and the first picture.
struct TOpenTimes {
  double readMs = 0, postMs = 0, pictureMs = 0;
};

// Where the window stands and how wide its side panel is, as the settings file keeps them
// (pixels; the panel at 96 dpi). A width or height of 0 means none was kept.
struct TZoomerPlace {
  int left = 0, top = 0, width = 0, height = 0;
  int panelWidth = 0;
  bool operator==(const TZoomerPlace&) const = default;
};

// What the status field says after Esc stopped an opening.
inline constexpr char16_t kOpeningStoppedStatus[] = u"中止しました";

class TMorvikZoomerForm : public ui::Form {
 public:
  static constexpr int kClientWidth = 265, kClientHeight = 148;
  // The size it opens at the first time, at 96 dpi, beside the window that owns it.
  static constexpr int kFirstWidth = 640, kFirstHeight = 480;
  TMorvikZoomerForm();
  ~TMorvikZoomerForm() override;

  // Creates the window (hidden) and its controls and runs FormCreate.
  void Create(HWND owner);

  // ---- Controls
  TZoomerImage& Image1() { return image1_; }
  const TZoomerImage& Image1() const { return image1_; }
  ui::Splitter& Splitter1() { return splitter1_; }
  ui::Panel& Panel1() { return panel1_; }
  ui::FlatButton& SpeedButton1() { return speedButton1_; }
  ui::CheckListBox& CheckListBox1() { return checkListBox1_; }
  ui::Edit Edit1() const { return ui::Edit(edit1_); }
  HWND ProgressBar1() const { return progressBar1_; }

  // ---- State
  double g_cadw = 0, g_cadh = 0;
  TAcadPoint g_cadpt;
  double g_DispScale = 0;
  std::int32_t g_CoSw = 0;
  TSavedView saved;  // g_CadPtOld, g_CadWOld, g_CadHOld
  POINT g_DownPt{}, g_OldPt{};
  bool g_ZoomFlag = false, g_PanFlag = false, g_PanNow = false, g_WheelNow = false;
  std::int32_t dispScale = 0;
  TAcadLineBlk OldPickLine;
  std::int32_t mvx = 0, mvy = 0;
  bool mvflag = false;
  std::int32_t mvret1 = 0, mvret2 = 0, mvret3 = 0, mvret4 = 0, mvret5 = 0;  // mvret5: a fill
  std::u16string dxfFullName;
  TOpenTimes lastOpen;

  // ---- Opening (zoomer_open_win.cpp)
  void FormCreate();
  // Resets the view state and the layer list and opens dxfFullName (MakeDxfZoomer). Showing
  // the window opens nothing: only the open request and its callers run this.
  void OpenStoredDrawing();
  // Starts opening the file aside; an opening under way is cancelled first. The drawing shown
  // so far goes at once (the image shows the empty frame until the new one is complete).
  void MakeDxfZoomer(const std::u16string& dxfname);
  // The open request of the conversion: the file, entity colours, the window shown (beside
  // its owner the first time), OpenStoredDrawing.
  void OpenRequest(const std::u16string& dxfPath);
  // True while an opening runs aside.
  bool Opening() const { return opening_ != nullptr; }
  // Openings whose worker threads have not been joined yet (stopped ones included).
  std::size_t OpeningsAside() const { return workers_.size(); }
  // Stops the opening under way, if any, and leaves the empty frame.
  void CancelOpening();
  // Lets window messages through until no opening runs (for callers that need the result).
  void WaitWhileOpening();
  // Repaints the whole drawing through a fresh off-screen raster into Image1.
  void OffscreenRedraw(bool drawAll, bool fast);
  // How many off-screen redraws of the whole drawing the window has shown.
  int ExactRedraws() const { return exactRedraws_; }
  // True while a wheel notch's preview shows and its exact picture is still to come.
  bool ExactRedrawDue() const { return redrawDue_; }

  // The place to keep in the settings file, and the kept place to open at (applied the next
  // time the window is shown from hidden; none kept: beside its owner, within the work area).
  TZoomerPlace Place() const;
  void SetPlace(const TZoomerPlace& place);

  // ---- Zoom and pan (zoomer_gestures_win.cpp)
  void Image1MouseDown(TMouseButton button, bool shift, int X, int Y);
  void Image1MouseMove(bool shift, int X, int Y);
  void Image1MouseUp(TMouseButton button, bool shift, int X, int Y);
  void FormResize();
  void Splitter1Moved();
  // Esc stops an opening or the drag under way; + and - zoom about the centre; Home shows the
  // whole drawing; Backspace goes back to the previous view. False for other keys.
  bool FormKeyDown(WORD key);
  // The keys, as the status field's tooltip lists them.
  static const char16_t* KeysHelp();

  // ---- Layer panel (zoomer_layers_win.cpp)
  void CheckListBox1DrawItem(HDC dc, int Index, const RECT& Rect);
  void CheckListBox1Click();
  void SpeedButton1Click();
  // The margin of a painted item at a display scale in percent.
  static int ItemMargin(std::int32_t scale);

  // The view as the render pass takes it, at the image box's current size.
  TView View() const;
  // The drawing shown (an empty one while none is).
  TDrawingModel& Model() { return drawing_->model; }
  const TDrawing& Drawing() const { return *drawing_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  struct Job;  // one opening aside, shared with its worker thread
  void CreateControls();
  void ApplyLayout();
  void FormMouseWheel(POINT screen, bool down, bool& handled);
  void ZoomAbout(TPixel pixel, bool towardsUser);
  void ApplyViewGesture(TGesture g, TPixel down, TPixel up);
  void AbandonDrag();
  void FillLayerList();
  void DropDrawing();
  void DrawingOpened(std::uintptr_t serial);
  void OpeningProgress(std::uintptr_t serial, LPARAM lp);
  void JoinWorkers(bool all);
  // Draws the empty frame on the image; `unreadable` also says so in the status field.
  void ShowEmptyFrame(bool unreadable);
  void PlaceOnFirstShow();
  void DrawRubberBand(class Canvas& c, POINT a, POINT b);
  void DrawCrosshair(class Canvas& c, int x, int y);
  void DrawPickHighlight(class Canvas& c, int kind, std::int32_t index);
  void PickPress(int X, int Y);
  void PickRelease();
  void ShowPicture(const TRaster8& raster);
  // Shows view v at once as the last exact picture moved and scaled; false when there is none
  // of v's size.
  bool ShowPreview(const TView& v);
  // The exact redraw that the wheel's previews wait for; the notches already waiting are
  // taken first, so that one redraw shows them all.
  void RedrawAfterWheel();
  std::u16string Caption() const;

  std::unique_ptr<TDrawing> drawing_;
  TPictureCache pictures_;                      // the last exact pictures, by what they show
  std::shared_ptr<const TRaster8> lastRaster_;  // the last exact picture, the base of the previews
  TView lastView_;                              // the view it shows
  std::unique_ptr<TRaster8> preview_;           // the previews' raster, kept while the size stays
  bool redrawDue_ = false;                      // a wheel preview shows; kMsgExactRedraw is on its way
  std::uintptr_t drawingSerial_ = 0;            // counts the drawings shown: DropDrawing starts a new one
  int exactRedraws_ = 0;
  std::shared_ptr<Job> opening_;  // the opening whose result the window waits for
  std::vector<std::pair<std::shared_ptr<Job>, std::thread>> workers_;
  std::uintptr_t lastSerial_ = 0;
  TZoomerPlace place_;
  bool placed_ = false;  // shown once, at the kept place or beside the owner
  ui::Font font_;
  TZoomerImage image1_;
  ui::Splitter splitter1_;
  ui::Panel panel1_;
  ui::FlatButton speedButton1_;
  ui::CheckListBox checkListBox1_;
  HWND edit1_ = nullptr, progressBar1_ = nullptr, tooltip_ = nullptr;
  int panelWidth_ = 100;  // at 96 dpi; the splitter changes it
  bool created_ = false;
  bool dragAbandoned_ = false;  // Esc took the drag back; its release ends nothing
};

}  // namespace tesmar
