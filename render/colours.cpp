#include "render/colours.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/strings.h"
#include "render/layer_lookup.h"

namespace tesmar {

namespace {

constexpr Colour kFirstNine[10] = {
    MakeColour(255, 255, 255),  // 0: not a palette entry, white
    MakeColour(255, 0, 0),      MakeColour(255, 255, 0),   MakeColour(0, 255, 0),
    MakeColour(0, 255, 255),    MakeColour(0, 0, 255),     MakeColour(255, 0, 255),
    MakeColour(255, 255, 255),  MakeColour(128, 128, 128), MakeColour(192, 192, 192),
};

constexpr unsigned kGreys[6] = {51, 91, 132, 173, 214, 255};

// Indices 10..249: a hue every 10 indices, five levels, and a pale variant for odd indices.
Colour HueColour(int i) {
  const double h = ((i / 10) - 1) * 15.0;
  const int d = i % 10;
  static constexpr double kLevel[5] = {255, 204, 153, 127, 76};
  const double v = kLevel[d / 2];
  const double lo = (d % 2 == 1) ? v / 2 : 0.0;
  double fr, fg, fb;
  const double q = h / 60;
  if (h < 60) {
    fr = 1, fg = q, fb = 0;
  } else if (h < 120) {
    fr = 2 - q, fg = 1, fb = 0;
  } else if (h < 180) {
    fr = 0, fg = 1, fb = q - 2;
  } else if (h < 240) {
    fr = 0, fg = 4 - q, fb = 1;
  } else if (h < 300) {
    fr = q - 4, fg = 0, fb = 1;
  } else {
    fr = 1, fg = 0, fb = 6 - q;
  }
  auto channel = [&](double f) { return static_cast<unsigned>(lo + (v - lo) * f); };
  return MakeColour(channel(fr), channel(fg), channel(fb));
}

}  // namespace

namespace {

Colour PaletteColour(long long i) {
  if (i <= 9) return kFirstNine[i];
  if (i <= 249) return HueColour(static_cast<int>(i));
  const unsigned g = kGreys[i - 250];
  return MakeColour(g, g, g);
}

}  // namespace

Colour AciToColor(int index) {
  static const std::array<Colour, 256> palette = [] {
    std::array<Colour, 256> p{};
    for (int i = 0; i < 256; ++i) p[static_cast<std::size_t>(i)] = PaletteColour(i);
    return p;
  }();
  const long long i = std::llabs(static_cast<long long>(index));
  return i <= 255 ? palette[static_cast<std::size_t>(i)] : MakeColour(255, 255, 255);
}

Colour InvertColor(Colour c) { return 0xFFFFFFu - (c & 0xFFFFFFu); }

TPenStyle LinetypeToPenStyle(std::u16string_view name) {
  const std::u16string n = UpperCase16(name);
  auto starts = [&](std::u16string_view p) { return StartsWith16(n, p); };
  if (starts(u"CON")) return psSolid;
  if (starts(u"HID") || starts(u"DASHE")) return psDot;
  if (starts(u"CEN") || starts(u"BOR") || starts(u"DASHD")) return psDashDot;
  if (starts(u"DEV") || starts(u"PHA")) return psDashDotDot;
  if (starts(u"DOT")) return psDot;
  return psSolid;
}

namespace {

// An empty linetype or exactly "BYLAYER" takes the linetype of the layer, when there is one.
TPenStyle StyleWithLayer(std::u16string_view ltype, const TLayer* layer) {
  if ((ltype.empty() || ltype == u"BYLAYER") && layer != nullptr) return LinetypeToPenStyle(layer->ltype);
  return LinetypeToPenStyle(ltype);
}

}  // namespace

TPenStyle ResolvePenStyle(const TDrawingModel& m, std::u16string_view ltype, std::u16string_view layer) {
  for (const TLayer& l : m.LayerAry) {
    if (l.Name == layer) return StyleWithLayer(ltype, &l);
  }
  return StyleWithLayer(ltype, nullptr);
}

TPenAssigner::TPenAssigner(const TDrawingModel& m) {
  byLayer_.reserve(m.LayerAry.size());
  for (const TLayer& l : m.LayerAry) byLayer_.push_back(LinetypeToPenStyle(l.ltype));
}

TPenStyle TPenAssigner::Style(TName ltype, std::int32_t layer) {
  if ((ltype.empty() || ltype == NameByLayer()) && layer >= 0) return byLayer_[static_cast<std::size_t>(layer)];
  if (ltype == last_) return lastStyle_;
  auto it = byName_.find(ltype);
  if (it == byName_.end()) it = byName_.emplace(ltype, LinetypeToPenStyle(ltype)).first;
  last_ = ltype;
  return lastStyle_ = it->second;
}

void AssignPens(TDrawingModel& m) {
  const LayerLookup layers(m);
  TPenAssigner pens(m);
  auto assign = [&](auto& table) {
    for (auto& r : table) pens.Assign(r, layers.Index(r.layer));
  };
  assign(m.LineAry);
  assign(m.ArcAry);
  assign(m.CircleAry);
  assign(m.TextAry);
  assign(m.FillAry);
  assign(m.XlineAry);
}

Colour ApplyColourMode(Colour pen, Colour bg, int mode) {
  if (mode == 1) return InvertColor(bg);
  if (pen == bg) return InvertColor(bg);
  if (mode == 2) return InvertColor(pen);
  return pen;
}

double RelativeLuminance(Colour c) {
  auto linear = [](unsigned v) {
    const double x = v / 255.0;
    return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c & 0xFF) + 0.7152 * linear((c >> 8) & 0xFF) + 0.0722 * linear((c >> 16) & 0xFF);
}

Colour ContrastColor(Colour c) {
  const double own = RelativeLuminance(c);
  double best = 0;
  Colour result = 0;
  for (int i = 0; i <= 256; ++i) {
    const Colour candidate = AciToColor(i);
    const double diff = std::fabs(own - RelativeLuminance(candidate));
    if (diff > best) {
      best = diff;
      result = candidate;
    }
  }
  return result;
}

}  // namespace tesmar
