#include "render/canvas_recording.h"

#include <algorithm>
#include <stdexcept>

#include "base/codepage.h"

namespace tesmar {

std::string CanvasCall::Short() const {
  std::string s = op + "(";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i) s += ",";
    s += std::to_string(args[i]);
  }
  if (!text.empty()) s += (args.empty() ? "\"" : ",\"") + Utf16ToUtf8(text) + "\"";
  return s + ")";
}

void RecordingCanvas::Add(std::string op, std::vector<long long> args, std::u16string text) {
  calls.push_back(CanvasCall{std::move(op), std::move(args), std::move(text), pen_, brush_,
                             fonts_.back(), fontColour_});
}

void RecordingCanvas::SetPenColour(Colour c) { pen_.colour = c; Add("SetPenColour", {c}); }
void RecordingCanvas::SetPenWidth(int w) { pen_.width = w; Add("SetPenWidth", {w}); }
void RecordingCanvas::SetPenStyle(TPenStyle s) { pen_.style = s; Add("SetPenStyle", {s}); }
void RecordingCanvas::SetPenMode(PenMode m) { pen_.mode = m; Add("SetPenMode", {static_cast<int>(m)}); }
void RecordingCanvas::SetBrushStyle(BrushStyle s) { brush_.style = s; Add("SetBrushStyle", {static_cast<int>(s)}); }
void RecordingCanvas::SetBrushColour(Colour c) { brush_.colour = c; Add("SetBrushColour", {c}); }

void RecordingCanvas::MoveTo(int x, int y) { Add("MoveTo", {x, y}); }
void RecordingCanvas::LineTo(int x, int y) { Add("LineTo", {x, y}); }
void RecordingCanvas::SetPixel(int x, int y, Colour c) { Add("SetPixel", {x, y, c}); }
void RecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Add("Arc", {x1, y1, x2, y2, x3, y3, x4, y4});
}
void RecordingCanvas::Rectangle(int l, int t, int r, int b) { Add("Rectangle", {l, t, r, b}); }
void RecordingCanvas::FillRect(int l, int t, int r, int b) { Add("FillRect", {l, t, r, b}); }

void RecordingCanvas::PushFont(const LogicalFont& f) {
  fonts_.push_back(f);
  Add("PushFont", {f.height, f.width, f.escapement}, f.face);
}

void RecordingCanvas::PopFont() {
  if (fonts_.size() < 2) throw std::logic_error("PopFont without PushFont");
  fonts_.pop_back();
  Add("PopFont", {});
}

void RecordingCanvas::SetFontColour(Colour c) { fontColour_ = c; Add("SetFontColour", {c}); }
void RecordingCanvas::TextOut(int x, int y, std::u16string_view text) { Add("TextOut", {x, y}, std::u16string(text)); }

int RecordingCanvas::TextWidth(std::u16string_view text) {
  int w = textWidth ? textWidth(text, fonts_.back()) : static_cast<int>(text.size()) * 8;
  Add("TextWidth", {w}, std::u16string(text));
  return w;
}

std::vector<std::string> RecordingCanvas::Log() const {
  std::vector<std::string> out;
  for (const auto& c : calls) out.push_back(c.Short());
  return out;
}

std::vector<std::string> RecordingCanvas::Log(const std::vector<std::string>& ops) const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (std::find(ops.begin(), ops.end(), c.op) != ops.end()) out.push_back(c.Short());
  return out;
}

}  // namespace tesmar
