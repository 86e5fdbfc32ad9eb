#!/usr/bin/python3
"""Draws every DXF file of a folder with `tesmar-tool render` and with the ezdxf drawing add-on
in the same view, and prints how much of each picture the other one covers.

    bench/compare_render.py [--tool EXE] [--folder DIR] [--size WxH] [--keep DIR] [--kinds]

The view is the reference's extents fitted as the viewer fits a drawing (0.95 of the tighter
side). A pixel counts as drawn when it is not background. Per file it prints
  recall     the share of the reference's drawn pixels with one of ours within 2 px
  precision  the share of our drawn pixels with one of the reference's within 2 px
  fit        whether our own extents match the reference's (our first picture would show
             the same area); "off" when either side differs by more than 5 % of the size
and the median and the worst five. With --kinds it draws the reference once more per entity
kind of the model space (ATTRIB texts of inserts on their own) and prints, per kind, the files
that have it, the files where it misses more than 20 % of its pixels, and its recall over all
files. It is a benchmark that prints figures; nothing here passes or fails.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

import logging

import matplotlib

matplotlib.use("Agg")
logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402

import ezdxf  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.config import Configuration  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
TOLERANCE = 2  # pixels
DRAWN_LEVEL = 48  # a channel above this on black is a drawn pixel
DPI = 100


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--tool", default=os.path.join(ROOT, "build/windows/cli/tesmar-tool.exe"))
    p.add_argument("--wine-run", default=os.path.join(ROOT, "build/windows/wine-run"))
    p.add_argument("--folder", default=os.path.join(ROOT, "../shared/testdata/dxf"))
    p.add_argument("--size", default="1280x960")
    p.add_argument("--keep", help="folder to keep both pictures of every file in")
    p.add_argument("--kinds", action="store_true", help="figures per entity kind too")
    p.add_argument("files", nargs="*", help="only these files of the folder")
    return p.parse_args()


def dilate(mask, r):
    """Every pixel within r (square) of a set pixel."""
    out = mask.copy()
    h, w = mask.shape
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if dx == 0 and dy == 0:
                continue
            ys, yd = (slice(0, h - dy), slice(dy, h)) if dy >= 0 else (slice(-dy, h), slice(0, h + dy))
            xs, xd = (slice(0, w - dx), slice(dx, w)) if dx >= 0 else (slice(-dx, w), slice(0, w + dx))
            out[yd, xd] |= mask[ys, xs]
    return out


def share(a, b_near):
    n = int(a.sum())
    return (float((a & b_near).sum()) / n) if n else None


class Reference:
    """The ezdxf drawing of one document on a figure of the picture's size."""

    def __init__(self, path, W, H):
        self.doc = ezdxf.readfile(path)
        self.msp = self.doc.modelspace()
        self.W, self.H = W, H
        self.config = Configuration.defaults()

    def _figure(self):
        fig = plt.figure(figsize=(self.W / DPI, self.H / DPI), dpi=DPI)
        ax = fig.add_axes([0, 0, 1, 1])
        ax.set_axis_off()
        return fig, ax

    def _draw(self, ax, entities=None):
        ctx = RenderContext(self.doc)
        ctx.set_current_layout(self.msp)
        front = Frontend(ctx, MatplotlibBackend(ax), self.config)
        if entities is None:
            front.draw_layout(self.msp, finalize=False)
        else:
            front.draw_entities(entities)
        ax.set_facecolor("black")
        ax.figure.set_facecolor("black")

    def extents(self):
        fig, ax = self._figure()
        try:
            self._draw(ax)
            lim = ax.dataLim
            if not np.all(np.isfinite([lim.x0, lim.y0, lim.x1, lim.y1])):
                return None
            return (lim.x0, lim.y0, lim.x1, lim.y1)
        finally:
            plt.close(fig)

    def mask(self, view, entities=None):
        """Drawn pixels for the view (cx, cy, s), of everything or of the given entities."""
        cx, cy, s = view
        fig, ax = self._figure()
        try:
            self._draw(ax, entities)
            ax.set_xlim(cx - self.W / 2 * s, cx + self.W / 2 * s)
            ax.set_ylim(cy - self.H / 2 * s, cy + self.H / 2 * s)
            ax.set_aspect("auto")
            fig.canvas.draw()
            rgba = np.asarray(fig.canvas.buffer_rgba())
            return rgba[:, :, :3].max(axis=2) > DRAWN_LEVEL
        finally:
            plt.close(fig)

    def kinds(self):
        """Entities of the model space by kind; the ATTRIBs of inserts on their own."""
        by = {}
        for e in self.msp:
            by.setdefault(e.dxftype(), []).append(e)
            if e.dxftype() == "INSERT":
                for a in getattr(e, "attribs", []):
                    by.setdefault("ATTRIB", []).append(a)
        return by


def ours(args, path, view, png):
    cx, cy, s = view
    W, H = (int(v) for v in args.size.lower().split("x"))
    w, h = W * s * 0.95, H * s * 0.95
    cmd = [args.wine_run, args.tool, "render", path, png, "--size", args.size, "--view", f"{cx!r},{cy!r},{w!r},{h!r}"]
    r = subprocess.run(cmd, capture_output=True, text=True, errors="replace", timeout=600)
    info = None
    for line in r.stdout.splitlines():
        if line.startswith("{"):
            info = json.loads(line)
    if r.returncode != 0 or info is None:
        return None, None, (r.stderr.strip().splitlines() or ["exit %d" % r.returncode])[-1]
    rgb = np.asarray(Image.open(png).convert("RGB"))
    drawn = rgb.max(axis=2) > DRAWN_LEVEL
    drawn[0, :] = drawn[-1, :] = False  # the frame
    drawn[:, 0] = drawn[:, -1] = False
    return drawn, info, None


def fits(ext, info):
    if info is None or "extents" not in info:
        return "?"
    a = info["extents"]
    size = max(ext[2] - ext[0], ext[3] - ext[1], 1e-12)
    return "ok" if all(abs(a[i] - ext[i]) <= 0.05 * size for i in range(4)) else "off"


def main():
    args = parse_args()
    W, H = (int(v) for v in args.size.lower().split("x"))
    folder = os.path.abspath(args.folder)
    if not os.path.isdir(folder):
        print(f"no folder {folder}", file=sys.stderr)
        return 1
    names = args.files or sorted(n for n in os.listdir(folder) if n.lower().endswith(".dxf"))
    tmp = args.keep or tempfile.mkdtemp(prefix="compare_render.")
    os.makedirs(tmp, exist_ok=True)
    rows, kinds = [], {}
    print(f"{'recall':>7} {'precis':>7} {'fit':>4}  file")
    for name in names:
        path = os.path.join(folder, name)
        try:
            ref = Reference(path, W, H)
            ext = ref.extents()
        except Exception as e:  # a file the reference cannot read is left out
            print(f"{'-':>7} {'-':>7} {'-':>4}  {name}  (reference: {e})")
            continue
        if ext is None:
            print(f"{'-':>7} {'-':>7} {'-':>4}  {name}  (reference draws nothing)")
            continue
        cx, cy = (ext[0] + ext[2]) / 2, (ext[1] + ext[3]) / 2
        s = max((ext[2] - ext[0]) / W, (ext[3] - ext[1]) / H, 1e-12) / 0.95
        view = (cx, cy, s)
        theirs = ref.mask(view)
        mine, info, err = ours(args, path, view, os.path.join(tmp, name + ".tesmar.png"))
        if mine is None:
            print(f"{'-':>7} {'-':>7} {'-':>4}  {name}  (tesmar-tool: {err})")
            continue
        if args.keep:
            Image.fromarray((theirs * 255).astype(np.uint8)).save(os.path.join(tmp, name + ".ref.png"))
        near_mine, near_theirs = dilate(mine, TOLERANCE), dilate(theirs, TOLERANCE)
        recall, precision = share(theirs, near_mine), share(mine, near_theirs)
        rows.append((recall if recall is not None else 1.0, precision, name))
        fmt = lambda v: "-" if v is None else f"{v:.3f}"  # noqa: E731
        print(f"{fmt(recall):>7} {fmt(precision):>7} {fits(ext, info):>4}  {name}", flush=True)
        if args.kinds:
            for kind, entities in ref.kinds().items():
                try:
                    km = ref.mask(view, entities)
                except Exception:
                    continue
                n = int(km.sum())
                if n == 0:
                    continue
                hit = int((km & near_mine).sum())
                k = kinds.setdefault(kind, [0, 0, 0, []])
                k[0] += 1
                k[1] += n
                k[2] += hit
                if hit < 0.8 * n:
                    k[3].append(name)
    if not rows:
        return 1
    recalls = [r[0] for r in rows]
    print(f"\nfiles {len(rows)}, median recall {statistics.median(recalls):.3f}, "
          f"median precision {statistics.median([r[1] or 0 for r in rows]):.3f}, "
          f"below 0.8: {sum(r < 0.8 for r in recalls)}")
    print("worst five:")
    for r in sorted(rows)[:5]:
        print(f"  {r[0]:.3f}  {r[2]}")
    if args.kinds:
        print(f"\n{'kind':<16} {'files':>5} {'missed':>6} {'recall':>7}")
        for kind, (files, n, hit, missed) in sorted(kinds.items(), key=lambda kv: -len(kv[1][3])):
            print(f"{kind:<16} {files:>5} {len(missed):>6} {hit / n:7.3f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
