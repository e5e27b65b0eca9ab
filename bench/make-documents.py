#!/usr/bin/env python3
"""Writes the benchmark's test documents into a folder:
  text.pdf    40 A4 pages of running text (Helvetica, 11 pt, ~60 lines a page)
  mixed.pdf   40 A4 pages mixing text, ruled tables and photographs (JPEG, DCTDecode)
  vector.pdf  1 A4 page of heavy vector art (eight thousand filled and stroked Bezier paths)
Photographs come from ImageMagick (plasma fractal, fixed seeds) so every run uses the same bytes.
usage: make-documents.py FOLDER
"""
import os
import random
import subprocess
import sys
import zlib

A4 = (595.276, 841.89)
WORDS = ("print preset queue duplex colour paper copies driver spooler document page render bitmap "
         "engine history panel status toner tray margin orientation landscape portrait scale "
         "resolution dither halftone raster vector glyph kerning ligature column table figure").split()


def pdf_string(text):
    return "(" + text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ")"


class Pdf:
    def __init__(self):
        self.objects = []

    def add(self, body):
        self.objects.append(body)
        return len(self.objects)

    def stream(self, data, extra=b"", compress=True):
        if compress:
            data = zlib.compress(data, 6)
            extra += b" /Filter /FlateDecode"
        return self.add(b"<< /Length %d%s >>\nstream\n" % (len(data), extra) + data + b"\nendstream")

    def write(self, path, pages):
        """pages: list of (content bytes, resources bytes)."""
        pages_id = len(self.objects) + 1
        self.objects.append(None)  # page tree, filled below
        kids = []
        for content, resources in pages:
            content_id = self.stream(content)
            kids.append(self.add(b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 %.3f %.3f] /Resources %s "
                                 b"/Contents %d 0 R >>" % (pages_id, A4[0], A4[1], resources, content_id)))
        self.objects[pages_id - 1] = (b"<< /Type /Pages /Kids [" + b" ".join(b"%d 0 R" % k for k in kids) +
                                      b"] /Count %d >>" % len(kids))
        catalog = self.add(b"<< /Type /Catalog /Pages %d 0 R >>" % pages_id)
        out = bytearray(b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n")
        offsets = []
        for number, body in enumerate(self.objects, 1):
            offsets.append(len(out))
            out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
        xref = len(out)
        out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(self.objects) + 1)
        for offset in offsets:
            out += b"%010d 00000 n \n" % offset
        out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
            len(self.objects) + 1, catalog, xref)
        with open(path, "wb") as f:
            f.write(out)


def text_lines(rng, count, width=95):
    lines = []
    for _ in range(count):
        line = ""
        while len(line) < width - 12:
            line += rng.choice(WORDS) + " "
        lines.append(line.strip().capitalize() + ".")
    return lines


def text_block(rng, x, y, lines, size=11, leading=13):
    ops = ["BT /F1 %d Tf %d TL %.1f %.1f Td" % (size, leading, x, y)]
    for line in text_lines(rng, lines):
        ops.append("%s '" % pdf_string(line))
    ops.append("ET")
    return "\n".join(ops)


def table(rng, x, y, rows, cols, cell_w=80, cell_h=16):
    ops = ["0.92 0.94 0.98 rg %.1f %.1f %d %d re f" % (x, y - cell_h, cols * cell_w, cell_h),
           "0 0 0 RG 0.5 w"]
    for r in range(rows + 1):
        ops.append("%.1f %.1f m %.1f %.1f l S" % (x, y - r * cell_h, x + cols * cell_w, y - r * cell_h))
    for c in range(cols + 1):
        ops.append("%.1f %.1f m %.1f %.1f l S" % (x + c * cell_w, y, x + c * cell_w, y - rows * cell_h))
    ops.append("0 g BT /F1 8 Tf")
    for r in range(rows):
        for c in range(cols):
            cell = rng.choice(WORDS) if r == 0 else "%d.%02d" % (rng.randrange(1000), rng.randrange(100))
            ops.append("1 0 0 1 %.1f %.1f Tm %s Tj" % (x + c * cell_w + 4, y - (r + 1) * cell_h + 5,
                                                        pdf_string(cell)))
    ops.append("ET")
    return "\n".join(ops)


def photo(folder, index, width, height):
    path = os.path.join(folder, "photo-%d.jpg" % index)
    if not os.path.exists(path):
        subprocess.run(["convert", "-seed", str(1000 + index), "-size", "%dx%d" % (width, height),
                        "plasma:fractal", "-blur", "0x1", "-quality", "85", path], check=True)
    with open(path, "rb") as f:
        return f.read()


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(7)
    font = b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"

    # 40 pages of text.
    pdf = Pdf()
    font_id = pdf.add(font)
    resources = b"<< /Font << /F1 %d 0 R >> >>" % font_id
    pages = [(text_block(rng, 56, 790, 58).encode(), resources) for _ in range(40)]
    pdf.write(os.path.join(folder, "text.pdf"), pages)

    # 40 pages of text, tables and photographs: four different photographs shared by the pages.
    pdf = Pdf()
    font_id = pdf.add(font)
    images = []
    for i, (w, h) in enumerate([(1600, 1067), (1200, 1600), (1800, 1000), (1400, 1400)]):
        data = photo(folder, i, w, h)
        images.append((pdf.stream(data, b" /Type /XObject /Subtype /Image /Width %d /Height %d "
                                        b"/ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode" % (w, h),
                                  compress=False), w, h))
    pages = []
    for p in range(40):
        image_id, w, h = images[p % len(images)]
        scale = 300.0 / max(w, h)
        ops = [text_block(rng, 56, 790, 14),
               "q %.2f 0 0 %.2f 56 %.1f cm /Im%d Do Q" % (w * scale, h * scale, 590 - h * scale, p % 4),
               table(rng, 56, 270, 10, 6),
               text_block(rng, 56, 90, 3)]
        if p % 3 == 0:
            image_id2, w2, h2 = images[(p + 1) % len(images)]
            scale2 = 160.0 / max(w2, h2)
            ops.append("q %.2f 0 0 %.2f 380 %.1f cm /Im%d Do Q" % (w2 * scale2, h2 * scale2, 420,
                                                                 (p + 1) % 4))
        xobjects = b" ".join(b"/Im%d %d 0 R" % (i, images[i][0]) for i in range(len(images)))
        pages.append(("\n".join(ops).encode(),
                      b"<< /Font << /F1 %d 0 R >> /XObject << %s >> >>" % (font_id, xobjects)))
    pdf.write(os.path.join(folder, "mixed.pdf"), pages)

    # One page of heavy vector art: 8000 filled and stroked Bezier shapes.
    pdf = Pdf()
    ops = ["0.2 w 1 J 1 j"]
    for _ in range(8000):
        x, y = rng.uniform(20, 575), rng.uniform(20, 820)
        r = rng.uniform(2, 40)
        ops.append("%.3f %.3f %.3f rg %.3f %.3f %.3f RG" % (rng.random(), rng.random(), rng.random(),
                                                           rng.random(), rng.random(), rng.random()))
        ops.append("%.2f %.2f m %.2f %.2f %.2f %.2f %.2f %.2f c %.2f %.2f %.2f %.2f %.2f %.2f c B" % (
            x, y, x + r, y + r * 1.5, x + 2 * r, y - r, x + r, y - 2 * r,
            x - r * 0.5, y - r * 2.5, x - r, y + r * 0.5, x, y))
    pdf.write(os.path.join(folder, "vector.pdf"), [("\n".join(ops).encode(), b"<< >>")])


if __name__ == "__main__":
    main()
