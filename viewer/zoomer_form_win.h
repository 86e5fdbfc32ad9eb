#pragma once
// TMorvikZoomerForm: the drawing viewer. Created hidden at start-up and kept until the end;
// closing it only hides it. It shows one DXF file of the process-wide drawing model, fitted to
// its image box, with zoom and pan, pick and measure, and the layer panel. Its handlers are
// named after the control and the event.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "dxf/model.h"
#include "render/geometry.h"
#include "render/render_pass.h"
#include "render/view.h"
#include "ui/controls.h"
#include "ui/custom_controls.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "viewer/navigation.h"
#include "viewer/zoomer_controls_win.h"

namespace tesmar {

// How long the last opening took, in milliseconds: the read, the post-processing and the
// first picture.
struct TOpenTimes {
  double readMs = 0, postMs = 0, pictureMs = 0;
};

class TMorvikZoomerForm : public ui::Form {
 public:
  static constexpr int kClientWidth = 265, kClientHeight = 148;
  explicit TMorvikZoomerForm(TDrawingModel& model = TheModel());
  ~TMorvikZoomerForm() override;

  // Creates the window (hidden) and its controls and runs FormCreate.
  void Create(HWND owner);

  // ---- Controls
  TZoomerImage& Image1() { return image1_; }
  const TZoomerImage& Image1() const { return image1_; }
  TSplitter& Splitter1() { return splitter1_; }
  ui::Panel& Panel1() { return panel1_; }
  ui::FlatButton& SpeedButton1() { return speedButton1_; }
  TCheckListBox& CheckListBox1() { return checkListBox1_; }
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
  std::int32_t mvret1 = 0, mvret2 = 0, mvret3 = 0, mvret4 = 0;
  std::u16string dxfFullName;
  TOpenTimes lastOpen;

  // ---- Opening
  void FormCreate();
  void FormShow();
  void MakeDxfZoomer(const std::u16string& dxfname);
  // The open request of the conversion: the file, entity colours, the window shown, FormShow.
  void OpenRequest(const std::u16string& dxfPath, void* sender);
  // Repaints the whole drawing through a fresh off-screen raster into Image1.
  void OffscreenRedraw(bool drawAll, bool fast);

  // ---- Zoom and pan
  // One wheel notch; `handled` is cleared when the cursor is not over the image box.
  void FormMouseWheelDown(POINT screen, bool& handled);
  void FormMouseWheelUp(POINT screen, bool& handled);
  void Image1MouseDown(TMouseButton button, bool shift, int X, int Y);
  void Image1MouseMove(bool shift, int X, int Y);
  void Image1MouseUp(TMouseButton button, bool shift, int X, int Y);
  void FormResize();
  void Splitter1Moved();

  // ---- Layer panel
  void CheckListBox1DrawItem(HDC dc, int Index, const RECT& Rect);
  void CheckListBox1Click();
  void SpeedButton1Click();
  // The margin of a painted item at a display scale in percent.
  static int ItemMargin(std::int32_t scale);

  // The view as the render pass takes it, at the image box's current size.
  TView View() const;
  // The drawing model the window shows.
  TDrawingModel& Model() { return model_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void CreateControls();
  void ApplyLayout();
  void FormMouseWheel(POINT screen, bool down, bool& handled);
  void FillLayerList();
  void ClosingStep(bool unreadable);
  void DrawRubberBand(POINT a, POINT b);
  void DrawCrosshair(int x, int y);
  void DrawPickHighlight(int kind, std::int32_t index);
  void ShowPicture(const class TRaster8& raster);
  std::u16string Caption() const;

  TDrawingModel& model_;
  std::unique_ptr<TRenderIndex> index_;  // of the model as the last opening left it
  TBox extents_{};
  ui::Font font_;
  TZoomerImage image1_;
  TSplitter splitter1_;
  ui::Panel panel1_;
  ui::FlatButton speedButton1_;
  TCheckListBox checkListBox1_;
  HWND edit1_ = nullptr, progressBar1_ = nullptr;
  int panelWidth_ = 100;  // at 96 dpi; the splitter changes it
  bool created_ = false;
};

}  // namespace tesmar
