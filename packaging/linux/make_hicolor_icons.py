#!/usr/bin/env python3
"""Makes the hicolor icons of the settings window from the program's own icon picture
(src/resources/icon.txt, which make_icon.py turns into the Windows icon): a scalable SVG of
the same pixels, and PNGs of the usual sizes from it through rsvg-convert.

usage: make_hicolor_icons.py icon.txt out-folder
The results are committed under packaging/linux/icons; run this again when the picture changes."""
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing left in src/resources

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "src", "resources"))
from make_icon import SIZE, read_art  # noqa: E402

NAME = "org.quelvo.Quelvo"
PNG_SIZES = (16, 24, 32, 48, 64, 128, 256)


def svg(palette, rows):
    # One rectangle per run of a colour along a row; black is the rounded background.
    rects = []
    for y, row in enumerate(rows):
        x = 0
        while x < SIZE:
            end = x
            while end < SIZE and row[end] == row[x]:
                end += 1
            if palette[row[x]] != 0:
                rects.append(f'<rect x="{x}" y="{y}" width="{end - x}" height="1" '
                             f'fill="#{palette[row[x]]:06X}"/>')
            x = end
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" '
            f'viewBox="0 0 {SIZE} {SIZE}" shape-rendering="crispEdges">\n'
            f'<rect width="{SIZE}" height="{SIZE}" rx="3" fill="#000000"/>\n'
            + "\n".join(rects) + "\n</svg>\n")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    out = sys.argv[2]
    scalable = os.path.join(out, NAME + ".svg")
    with open(scalable, "w", encoding="ascii") as f:
        f.write(svg(*read_art(sys.argv[1])))
    for size in PNG_SIZES:
        os.makedirs(os.path.join(out, f"{size}x{size}"), exist_ok=True)
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o",
                        os.path.join(out, f"{size}x{size}", NAME + ".png"), scalable], check=True)


if __name__ == "__main__":
    main()
