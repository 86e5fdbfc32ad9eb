#pragma once
// A viewer window of its own model under Wine, with an image box of a known size, message
// boxes answered and recorded, and the mouse driven by window messages as the system sends
// them.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/strings.h"
#include "tests/support/testdata.h"
#include "ui/controls.h"
#include "ui/seams.h"
#include "viewer/zoomer_form_win.h"

namespace tesmar::test {

struct ViewerBox {
  std::u16string text, caption;
  UINT flags;
};

class ZoomerTest : public ::testing::Test {
 protected:
  ZoomerTest();
  ~ZoomerTest() override;

  // Writes `dxf` as name in the test folder.
  std::u16string Write(const char* name, std::string_view bytes);
  // A drawing of `lines` short lines on layer 0 (about 40 bytes each), long enough to read for
  // a while.
  std::u16string WriteLarge(const char* name, int lines);
  // Lets messages through until every opening thread has ended and been joined.
  void SettleOpenings();
  // Opens the file as the conversion does and waits until the opening has ended.
  void Open(const std::u16string& path);
  TDrawingModel& Model() { return form.Model(); }
  std::u16string Status() const { return form.Edit1().Text(); }
  std::u16string Caption() const { return ui::WindowText(form.hwnd()); }
  TView View() const { return form.View(); }
  int W() const { return form.Image1().Width(); }
  int H() const { return form.Image1().Height(); }

  // Mouse messages to the image box (client pixels) and the wheel to the window (screen).
  void Press(TMouseButton b, int x, int y, bool shift = false);
  void Move(int x, int y, bool shift = false, TMouseButton held = TMouseButton::Left, bool holding = false);
  void Release(TMouseButton b, int x, int y, bool shift = false);
  void Drag(TMouseButton b, POINT from, POINT to);
  void Wheel(POINT client, HWND over, int notches);

  // The picture of the image box.
  COLORREF Pixel(int x, int y) { return form.Image1().Picture().Pixel(x, y); }
  std::vector<COLORREF> Pixels();
  int CountNotBlack(int x0, int y0, int x1, int y1);
  // The pixel of a world point under the current view.
  POINT ScreenOf(double x, double y) const;
  // True when the picture is black inside a one-pixel cyan frame.
  bool ShowsEmptyFrame();

  TempDir dir;
  TMorvikZoomerForm form;
  std::vector<ViewerBox> shown;

 private:
  ui::SeamOverride<ui::MessageBoxFn> boxes_;
};

// Layers 0 (white), RED (1), OFF (stored off, 3), EMPTY (5, no entities); two horizontal
// lines on 0, a vertical line on RED, a circle on RED, an arc on 0 and a text on 0.
extern const char kViewerDrawing[];

}  // namespace tesmar::test
