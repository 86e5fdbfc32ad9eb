#!/usr/bin/env python3
"""Turns the user's guide (the small Markdown subset it is written in: headings, paragraphs,
lists, tables, indented code, images, inline code and bold) into one HTML page.
usage: md2html.py GUIDE.md OUT.html"""
import html
import re
import sys


def inline(text):
    out = html.escape(text, quote=False)
    out = re.sub(r"!\[([^\]]*)\]\(([^)]+)\)", lambda m: f'<img src="{m[2]}" alt="{m[1]}">', out)
    out = re.sub(r"`([^`]+)`", r"<code>\1</code>", out)
    out = re.sub(r"\*\*([^*]+)\*\*", r"<strong>\1</strong>", out)
    return out


def convert(lines):
    body, para, items, rows, code = [], [], [], [], []

    def flush():
        if para:
            body.append("<p>" + inline(" ".join(para)) + "</p>")
            para.clear()
        if items:
            tag = items[0][0]
            body.append(f"<{tag}>" + "".join(f"<li>{inline(t)}</li>" for _, t in items) + f"</{tag}>")
            items.clear()
        if rows:
            head, *rest = [r for r in rows if not re.fullmatch(r"\|[-| ]+\|", r)]
            cells = lambda r: [c.strip() for c in r.strip("|").split("|")]
            body.append("<table><tr>" + "".join(f"<th>{inline(c)}</th>" for c in cells(head)) + "</tr>" +
                        "".join("<tr>" + "".join(f"<td>{inline(c)}</td>" for c in cells(r)) + "</tr>" for r in rest) +
                        "</table>")
            rows.clear()
        if code:
            body.append("<pre>" + html.escape("\n".join(code)) + "</pre>")
            code.clear()

    title = "Tesmar"
    for raw in lines:
        line = raw.rstrip("\n")
        if line.startswith("    ") and not items:
            if para or rows:
                flush()
            code.append(line[4:])
            continue
        if code:
            flush()
        m = re.match(r"(#{1,6}) (.*)", line)
        if m:
            flush()
            level = len(m[1])
            if level == 1:
                title = m[2]
            body.append(f"<h{level}>{inline(m[2])}</h{level}>")
        elif re.match(r"\s*([-*]|\d+\.) ", line):
            if para or rows:
                flush()
            tag = "ol" if re.match(r"\s*\d+\.", line) else "ul"
            items.append((tag, re.sub(r"^\s*([-*]|\d+\.) ", "", line)))
        elif line.startswith("|"):
            if para or items:
                flush()
            rows.append(line)
        elif not line.strip():
            flush()
        elif items and raw.startswith("  "):
            items[-1] = (items[-1][0], items[-1][1] + " " + line.strip())
        else:
            if items or rows:
                flush()
            para.append(line.strip())
    flush()
    style = ("body{font-family:'Yu Gothic UI','Meiryo',sans-serif;max-width:50em;margin:2em auto;line-height:1.7;padding:0 1em}"
             "img{max-width:100%;border:1px solid #888}code,pre{background:#f2f2f2}pre{padding:.5em}"
             "table{border-collapse:collapse}td,th{border:1px solid #999;padding:.2em .6em}")
    return (f'<!DOCTYPE html>\n<html lang="ja"><head><meta charset="utf-8"><title>{html.escape(title)}</title>'
            f"<style>{style}</style></head><body>\n" + "\n".join(body) + "\n</body></html>\n")


if __name__ == "__main__":
    with open(sys.argv[1], encoding="utf-8") as f:
        page = convert(f.readlines())
    with open(sys.argv[2], "w", encoding="utf-8") as f:
        f.write(page)
