#!/usr/bin/python3
"""Print an SVG path (pixel units, baseline at y=0, pen at x=0) for a text in a TrueType font.

The wordmark is baked into the SVG sources as a path so that rendering never depends on the
fonts of the machine. Needs python3-fonttools; only used when the wordmark changes.

usage: text2path.py FONT.ttf SIZE_PX TRACKING_PX TEXT
"""
import sys

from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont


def main():
    font_file, size, tracking, text = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
    font = TTFont(font_file)
    glyphs = font.getGlyphSet()
    cmap = font.getBestCmap()
    scale = size / font["head"].unitsPerEm
    pen = SVGPathPen(glyphs, ntos=lambda v: f"{v:.2f}".rstrip("0").rstrip("."))
    x = 0.0
    for ch in text:
        name = cmap[ord(ch)]
        glyphs[name].draw(TransformPen(pen, (scale, 0, 0, -scale, x, 0)))
        x += glyphs[name].width * scale + tracking
    print(f"<!-- advance {x - tracking:.2f} px -->")
    print(pen.getCommands())


if __name__ == "__main__":
    main()
