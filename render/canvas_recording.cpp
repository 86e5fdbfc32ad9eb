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

// Logged as one call: the polyline count, then for each polyline its point count and points.
namespace {

// The arguments of a poly-call: n, then per polygon its count and its points.
std::vector<long long> PolyArgs(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) {
  std::vector<long long> args{static_cast<long long>(n)};
  for (std::size_t i = 0; i < n; ++i) {
    args.push_back(counts[i]);
    for (std::uint32_t k = 0; k < counts[i]; ++k, ++pts) {
      args.push_back(pts->x);
      args.push_back(pts->y);
    }
  }
  return args;
}

}  // namespace

void RecordingCanvas::PolyPolyline(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) {
  Add("PolyPolyline", PolyArgs(pts, counts, n));
}
void RecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Add("Arc", {x1, y1, x2, y2, x3, y3, x4, y4});
}
void RecordingCanvas::Rectangle(int l, int t, int r, int b) { Add("Rectangle", {l, t, r, b}); }
void RecordingCanvas::FillRect(int l, int t, int r, int b) { Add("FillRect", {l, t, r, b}); }
void RecordingCanvas::FillPolyPolygon(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) {
  Add("FillPolyPolygon", PolyArgs(pts, counts, n));
}

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

std::vector<std::string> RecordingCanvas::Primitives() const {
  std::vector<std::string> out;
  auto line = [&](const CanvasCall& c, long long x1, long long y1, long long x2, long long y2) {
    out.push_back("Line(" + std::to_string(x1) + "," + std::to_string(y1) + "," + std::to_string(x2) + "," +
                  std::to_string(y2) + ")" + PenSuffix(c.pen));
  };
  long long cx = 0, cy = 0;
  for (const auto& c : calls) {
    if (c.op == "MoveTo") {
      cx = c.args[0], cy = c.args[1];
    } else if (c.op == "LineTo") {
      line(c, cx, cy, c.args[0], c.args[1]);
      cx = c.args[0], cy = c.args[1];
    } else if (c.op == "PolyPolyline") {
      std::size_t i = 1;
      for (long long p = 0; p < c.args[0]; ++p) {
        const long long count = c.args[i++];
        for (long long k = 1; k < count; ++k, i += 2) line(c, c.args[i], c.args[i + 1], c.args[i + 2], c.args[i + 3]);
        i += 2;
      }
    } else if (c.op == "Arc") {
      out.push_back(c.Short() + PenSuffix(c.pen));
    } else if (c.op == "SetPixel" || c.op == "Rectangle" || c.op == "FillRect") {
      out.push_back(c.Short());
    } else if (c.op == "FillPolyPolygon") {
      out.push_back(c.Short() + "@" + std::to_string(c.brush.colour) + "/" + std::to_string(static_cast<int>(c.brush.style)));
    } else if (c.op == "TextOut") {
      out.push_back(c.Short() + "@" + std::to_string(c.fontColour) + "/" + std::to_string(c.font.height) + "/" +
                    std::to_string(c.font.width) + "/" + std::to_string(c.font.escapement));
    }
  }
  return out;
}

std::string PenSuffix(const PenState& p) {
  return "@" + std::to_string(p.colour) + "/" + std::to_string(p.width) + "/" + std::to_string(p.style) + "/" +
         std::to_string(static_cast<int>(p.mode));
}

}  // namespace tesmar
