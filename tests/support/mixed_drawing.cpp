#include "tests/support/mixed_drawing.h"

#include <random>

#include "render/colours.h"
#include "render/geometry.h"

namespace tesmar::test {

TDrawingModel MixedDrawing(int records, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> pos(-60, 60), len(-3, 3), tiny(-0.05, 0.05), ang(0, 360), rad(0.01, 20);
  std::uniform_int_distribution<int> pick(0, 9);
  TDrawingModel m;
  m.LayerAry = {TLayer{u"0"}, TLayer{u"OFF"}, TLayer{u"B"}};
  m.LayerAry[1].visible = false;
  const std::uint32_t colours[] = {0xFFFFFF, 0x0000FF, 0x00FF00};
  for (int i = 0; i < records; ++i) {
    const TAcadPoint p{pos(rng), pos(rng), 0};
    const int k = pick(rng);
    const std::int16_t layer = k == 9 ? 1 : k == 8 ? 2 : 0;
    const TAcadPoint d = k < 3 ? TAcadPoint{tiny(rng), tiny(rng), 0} : TAcadPoint{len(rng), len(rng), 0};
    TAcadLineBlk l;
    l.st = p, l.ed = AcadPointAdd(p, d), l.layindex = layer, l.PenColor = colours[k % 3];
    if (k == 7) l.PenStyle = psDot;
    if (k == 6 && i % 5 == 0) l.code60 = 1;
    m.LineAry.push_back(l);
    if (i % 7 == 3) m.LineAry.push_back(m.LineAry[m.LineAry.size() / 2]);  // drawn once more, later
    if (i % 7 == 5) m.LineAry.push_back(l);                                 // and right after
    TCircleBlk c;
    c.center = p, c.hankei = k < 4 ? tiny(rng) + 0.06 : rad(rng), c.layindex = k == 9 ? 1 : 0;
    c.PenColor = colours[(k + 1) % 3];
    m.CircleAry.push_back(c);
    if (i % 9 == 4) m.CircleAry.push_back(m.CircleAry[m.CircleAry.size() / 3]);
    if (i % 9 == 6) m.CircleAry.push_back(c);
    TArcBlk a;
    a.center = p, a.hankei = k < 3 ? 0.1 : rad(rng), a.st = ang(rng);
    a.ed = k == 5 ? a.st + ang(rng) * 0.002 : ang(rng);
    a.PenColor = colours[(k + 2) % 3];
    m.ArcAry.push_back(a);
    if (i % 10 == 0) {
      TTextBlk t;
      t.pt10 = p, t.code40 = k < 5 ? 0.1 : 3, t.str = u"%%c文字" + std::u16string(1, char16_t(u'A' + k));
      t.PenColor = colours[k % 3];
      m.TextAry.push_back(t);
    }
  }
  return m;
}

}  // namespace tesmar::test
