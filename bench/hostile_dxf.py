#!/usr/bin/env python3
"""Writes small DXF files that ask the post-processing for far more work than they hold.

    bench/hostile_dxf.py OUT_DIR
    bench/hostile_dxf.py --seeds OUT_DIR   (the same shapes, smaller: the fuzz corpus's seeds)

Each file is a few bytes to a few megabytes; none but the seeds is kept in the repository. Run
`tesmar-tool stat` (and `bench_viewer --show FILE --close-after MS`) on each: every one must end
in seconds, with bounded memory, the drawing drawn in part where it asks for too much.
"""
import os
import sys


def pairs(*items):
    out = []
    for code, value in items:
        out.append(f"{code}\n{value}\n")
    return "".join(out)


def drawing(entities="", blocks=""):
    return (pairs((0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1015"), (0, "ENDSEC"))
            + pairs((0, "SECTION"), (2, "BLOCKS")) + blocks + pairs((0, "ENDSEC"))
            + pairs((0, "SECTION"), (2, "ENTITIES")) + entities + pairs((0, "ENDSEC"), (0, "EOF")))


def block(name, body):
    return (pairs((0, "BLOCK"), (8, "0"), (2, name), (70, 0), (10, 0), (20, 0), (30, 0), (3, name))
            + body + pairs((0, "ENDBLK"), (8, "0")))


def insert(name, x=0.0, y=0.0, columns=None, rows=None, dx=None, dy=None):
    items = [(0, "INSERT"), (8, "0"), (2, name), (10, x), (20, y), (30, 0)]
    if columns is not None:
        items += [(70, columns), (71, rows), (44, dx), (45, dy)]
    return pairs(*items)


def line(x0, y0, x1, y1):
    return pairs((0, "LINE"), (8, "0"), (10, x0), (20, y0), (30, 0), (11, x1), (21, y1), (31, 0))


def hatch(ring, lines):
    """A pattern hatch of one polyline ring; lines: (angle, base x, base y, offset x, offset y)."""
    items = [(0, "HATCH"), (8, "0"), (10, 0), (20, 0), (30, 0), (210, 0), (220, 0), (230, 1), (2, "USER"),
             (70, 0), (71, 0), (91, 1), (92, 2), (72, 0), (73, 1), (93, len(ring))]
    for x, y in ring:
        items += [(10, x), (20, y)]
    items += [(97, 0), (75, 0), (76, 1), (52, 0), (41, 1), (77, 0), (78, len(lines))]
    for angle, bx, by, ox, oy in lines:
        items += [(53, angle), (43, bx), (44, by), (45, ox), (46, oy), (79, 0)]
    items += [(98, 0)]
    return pairs(*items)


SQUARE = [(0, 0), (20, 0), (20, 20), (0, 20)]


def files(small=False):
    yield "hatch_far_base.dxf", drawing(hatch(SQUARE, [(0, 0, 1e24, 0, 1)]))
    yield "hatch_far_base_slanted.dxf", drawing(hatch(SQUARE, [(45, 3e23, 1e25, -0.7, 0.7)]))
    strip = [(0, 0), (1e6, 1e6), (1e6 + 0.001, 1e6), (0.001, 0)]
    yield "hatch_thin_strip.dxf", drawing(hatch(strip, [(0, 0, 0, 0, 1e-7)]))
    yield "hatches_many.dxf", drawing("".join(
        hatch([(i * 30, 0), (i * 30 + 20, 0), (i * 30 + 20, 20), (i * 30, 20)], [(0, 0, 0, 0, 1e-4)])
        for i in range(8 if small else 80)))
    yield "hatch_in_blocks.dxf", drawing(
        "".join(insert("H", i * 30.0, 0) for i in range(20 if small else 200)),
        block("H", hatch(SQUARE, [(0, 0, 0, 0, 0.001), (90, 0, 0, -0.001, 0)])))
    # Blocks with nothing of their own, each placing the next twice: 2^40 copies.
    levels = 40
    yield "deep_fanout.dxf", drawing(insert("B0"), "".join(
        block(f"B{i}", insert(f"B{i + 1}") + insert(f"B{i + 1}", 1, 0) if i + 1 < levels else line(0, 0, 1, 1))
        for i in range(levels)))
    # A chain of blocks each placing the next once, deeper than any thread's stack.
    depth = 100 if small else 40000
    yield "deep_chain.dxf", drawing(insert("C0"), "".join(
        block(f"C{i}", (insert(f"C{i + 1}", 0.001, 0) if i + 1 < depth else "") + line(0, 0, 1, 0))
        for i in range(depth)))
    # One spline of a degree no CAD program writes, with many control points.
    n = 40 if small else 20000
    items = [(0, "SPLINE"), (8, "0"), (70, 8), (71, 32767), (72, 0), (73, n), (74, 0)]
    for i in range(n):
        items += [(10, i), (20, (i * 7919) % 101), (30, 0)]
    yield "spline_degree.dxf", drawing(pairs(*items))
    # Arrays of a block of lines: 32767 x 32767 cells, and one inside a block placed many times.
    yield "array_insert.dxf", drawing(insert("A", 0, 0, 32767, 32767, 2, 2), block("A", line(0, 0, 1, 1)))
    yield "array_nested.dxf", drawing(
        "".join(insert("OUTER", i * 10.0, 0) for i in range(10 if small else 1000)),
        block("OUTER", insert("A", 0, 0, 1000, 1000, 1, 1)) + block("A", line(0, 0, 1, 1) + line(1, 0, 0, 1)))
    # One MTEXT paragraph of 200 000 words wrapped at a narrow width.
    words = " ".join("word" for _ in range(200 if small else 200000))
    yield "mtext_long.dxf", drawing(pairs((0, "MTEXT"), (8, "0"), (10, 0), (20, 0), (30, 0), (40, 1), (41, 50),
                                          (71, 1), (1, words)))


def main():
    args = sys.argv[1:]
    small = args[:1] == ["--seeds"]
    if small:
        args = args[1:]
    if len(args) != 1:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    out = args[0]
    os.makedirs(out, exist_ok=True)
    for name, text in files(small):
        path = os.path.join(out, ("hostile_" if small else "") + name)
        with open(path, "w", encoding="ascii", newline="\r\n") as f:
            f.write(text)
        print(f"{path}\t{os.path.getsize(path)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
