"""The game's font: DejaVu Sans Mono Bold from fonts-dejavu-core, renamed Halvanne Mono, with a
distance mark in place of the grave accent, the character that opens the red distance label."""

import math

from fontTools.misc.timeTools import timestampFromString
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

SOURCE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"
FAMILY = ("DejaVu Sans Mono", "Halvanne Mono")
POSTSCRIPT = ("DejaVuSansMono", "HalvanneMono")
MARK = "distancemark"
# Fixed dates, so that every run writes the same bytes.
DATE = timestampFromString("Thu Jan  1 00:00:00 2026")

# The mark in pixels at 14 points (14 pixels to the em), x right and y down from the top-left
# corner of a rendered line, which SDL_ttf puts at the font's ascent (13 pixels above the
# baseline): an arrow pointing up and left, its tip the line's top-left pixel, so that the
# label, drawn with its top-left corner on the station's centre, points at it. Its head is a
# right angle with legs of five pixels, its shaft two pixels wide at 45 degrees, seven pixels
# wide in all, which leaves the digits' eight-pixel advance a free column. Edges lie on pixel
# edges or run at 45 degrees between pixel centres, so that every centre is clearly in or out
# and the mark needs no hinting. Clockwise on the screen, as TrueType fills outer contours.
MARK_OUTLINE = [(0, 0), (5.5, 0), (3.5, 2), (7, 5.5), (6, 6.5), (2.5, 3), (0, 5.5)]
ASCENT = 13


def _mark_glyph(units_per_em):
    scale = units_per_em / 14.0
    # Rounded down: the tip must not reach above the ascent, where it would start a row higher.
    points = [(math.floor(x * scale), math.floor((ASCENT - y) * scale)) for x, y in MARK_OUTLINE]
    pen = TTGlyphPen(None)
    pen.moveTo(points[0])
    for point in points[1:]:
        pen.lineTo(point)
    pen.closePath()
    glyph = pen.glyph()
    glyph.recalcBounds(None)
    return glyph


def make_font(path):
    # Stored bounds are kept as they are: recomputed ones move some outlines against their
    # side bearings by a unit, which changes their hinted pixels.
    font = TTFont(SOURCE, recalcTimestamp=False, recalcBBoxes=False)
    font.ensureDecompiled()
    # The mark is a glyph of its own: the accented letters keep the grave accent glyph they
    # are built from.
    mark = _mark_glyph(font["head"].unitsPerEm)
    font["glyf"][MARK] = mark
    if MARK not in font.getGlyphOrder():
        font.getGlyphOrder().append(MARK)
    # the side bearing must be the outline's left edge, or the rasteriser shifts the outline
    font["hmtx"][MARK] = (font["hmtx"]["zero"][0], mark.xMin)
    font["GDEF"].table.GlyphClassDef.classDefs[MARK] = 1  # a base glyph, like the accent
    for table in font["cmap"].tables:
        if 0x60 in table.cmap:
            table.cmap[0x60] = MARK
    # The font's licence allows changed glyphs only under another name.
    for record in font["name"].names:
        if record.nameID in (1, 3, 4, 6):
            text = record.toUnicode().replace(*FAMILY).replace(*POSTSCRIPT)
            font["name"].setName(text, record.nameID, record.platformID, record.platEncID,
                                 record.langID)
    font["head"].created = font["head"].modified = DATE
    del font["FFTM"]  # FontForge's build dates of the original
    font.save(path, reorderTables=False)
