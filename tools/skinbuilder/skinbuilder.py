#!/usr/bin/env python3
"""Draws the built-in skin and the library's pictures.

  skinbuilder.py --out DIR [--sheet FILE]

writes DIR/builtin/Options.dat and DIR/builtin/MASTER.BMP (the skin folder
that the packer turns into the internal skin), DIR/pictures/<NAME>.png
(the pictures linked into the program as resources) and, with --sheet, a
PNG that shows every image and picture with its name.  Everything is
drawn here; the build runs it and nothing it writes is kept in the
repository."""

import argparse
import os
import sys

import description
import imagefiles
import pictures
import selfcheck
import sheet
import skinimages
from atlas import Atlas


def write_skin(folder, images):
    os.makedirs(folder, exist_ok=True)
    atlas = Atlas(list(images.values()))
    imagefiles.write_bmp24(os.path.join(folder, description.MASTER), atlas.width,
                           atlas.height, atlas.rows())
    sections = description.resolve(images)
    imagefiles.write_file(os.path.join(folder, "Options.dat"), description.text(sections))
    return sections


def write_pictures(folder, pics):
    os.makedirs(folder, exist_ok=True)
    written = {}
    for name, (w, h, rows) in pics.items():
        path = os.path.join(folder, name + ".png")
        imagefiles.write_png_rgba(path, w, h, rows)
        written[name] = (path, (w, h))
    return written


def main(argv):
    parser = argparse.ArgumentParser(description="Draws the built-in skin.")
    parser.add_argument("--out", required=True, help="output folder")
    parser.add_argument("--sheet", help="PNG file for the picture sheet")
    args = parser.parse_args(argv)

    images = skinimages.all_images()
    skin_dir = os.path.join(args.out, "builtin")
    sections = write_skin(skin_dir, images)
    pics = pictures.all_pictures()
    written = write_pictures(os.path.join(args.out, "pictures"), pics)

    problems = selfcheck.run(os.path.join(skin_dir, "Options.dat"),
                             os.path.join(skin_dir, description.MASTER), written)
    if problems:
        for p in problems:
            print("skinbuilder:", p, file=sys.stderr)
        return 1
    if args.sheet:
        os.makedirs(os.path.dirname(os.path.abspath(args.sheet)), exist_ok=True)
        sheet.write(args.sheet, images, sections, pics)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
