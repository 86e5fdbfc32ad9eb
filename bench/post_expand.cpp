// Post-processing time of a drawing with many INSERTs of a block library: N and 2N INSERTs
// over the same blocks. With the block records indexed by name the time grows with the
// records copied, so doubling the INSERTs should about double the time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/strings.h"
#include "dxf/model.h"
#include "render/postprocess.h"

namespace {

using namespace tesmar;

// `blocks` blocks of 8 lines, 2 circles, 2 arcs, 1 text and a 4-vertex polyline each, placed
// by `inserts` INSERTs spread over them.
TDrawingModel Library(int blocks, int inserts) {
  TDrawingModel m;
  m.LayerAry.push_back({.Name = u"0"});
  for (int b = 0; b < blocks; ++b) {
    const std::u16string name = u"BLOCK" + IntToStr16(b);
    TBlockBlk block;
    block.name = name;
    m.BlockAry.push_back(block);
    for (int i = 0; i < 8; ++i) {
      TAcadLineBlk l;
      l.bname = name;
      l.st = {double(i), 0, 0};
      l.ed = {double(i), 1, 0};
      m.BlkLineAry.push_back(l);
    }
    for (int i = 0; i < 2; ++i) {
      TCircleBlk c;
      c.bname = name;
      c.center = {double(i), 2, 0};
      c.hankei = 0.5;
      m.BlkCircleAry.push_back(c);
      TArcBlk a;
      a.bname = name;
      a.center = {double(i), 3, 0};
      a.hankei = 0.5;
      a.st = 30;
      a.ed = 300;
      m.BlkArcAry.push_back(a);
    }
    TTextBlk t;
    t.bname = name;
    t.str = u"TAG";
    t.code40 = 0.2;
    m.BlkTextAry.push_back(t);
    TLwpBlk p;
    p.bname = name;
    p.ihand = b;
    p.code70 = 1;
    m.BlkLwpAry.push_back(p);
    for (int v = 0; v < 4; ++v) m.BlkVerAry.push_back({b, {double(v % 2), double(v / 2), 0}, v == 1 ? 0.4 : 0.0});
  }
  for (int i = 0; i < inserts; ++i) {
    TInsertBlk ins;
    ins.name = u"BLOCK" + IntToStr16((i * 7919LL) % blocks);
    ins.base = {double(i % 200) * 10, double(i / 200) * 10, 0};
    ins.rotate = (i % 4) * 90.0;
    ins.scale = {i % 3 == 0 ? -1.0 : 1.0, 1, 1};
    m.EntInsertAry.push_back(ins);
  }
  return m;
}

double Milliseconds(int blocks, int inserts, std::size_t& lines) {
  double best = 1e300;
  for (int run = 0; run < 5; ++run) {
    TDrawingModel m = Library(blocks, inserts);
    const auto start = std::chrono::steady_clock::now();
    RunPostProcessing(m);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (ms < best) best = ms;
    lines = m.LineAry.size();
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int blocks = argc > 1 ? std::atoi(argv[1]) : 500;
  const int n = argc > 2 ? std::atoi(argv[2]) : 20000;
  std::size_t linesN = 0, lines2N = 0;
  const double tN = Milliseconds(blocks, n, linesN);
  const double t2N = Milliseconds(blocks, 2 * n, lines2N);
  std::printf("blocks %d, block records %d\n", blocks, blocks * 17);
  std::printf("N  = %6d INSERTs: %9.1f ms, LineAry %zu\n", n, tN, linesN);
  std::printf("2N = %6d INSERTs: %9.1f ms, LineAry %zu\n", 2 * n, t2N, lines2N);
  std::printf("ratio 2N / N: %.2f\n", t2N / tN);
  return 0;
}
