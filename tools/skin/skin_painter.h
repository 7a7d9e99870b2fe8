// Draws one picture of the skin table: the row's kind picks the drawing, its parameters tune it. Kinds:
//   clear    nothing (placeholders, the blank digit)
//   corner   a quarter-circle cap: at=tl|tr|bl|br, outside=COLOUR outside the radius r, clear inside
//   fill     the whole picture: colour=, or top= and bottom= (vertical gradient); line_bottom=/line_h=
//   box      a rounded rectangle over the picture (see below)
//   slice    the part (left|middle|right, or top|middle|bottom with dir=v) of a box drawn once at the
//            reference length ref=, so that caps and middles of one set share their row profile
//   digit    a seven-segment figure d=0..9|colon|point|dash|blank in box=x,y,w,h, stroke=, colour=,
//            off= (alpha of unlit segments), gap= (between segments, eighths of a pixel; stroke / 4 unless
//            given), half=upper|lower (the flip clock), plus=1
//   flag     country=ru|kz|by|ua|us|pt|kg
//   battery  bars=0..4, bar=COLOUR, mains=1
//   sections a=X0:X1:COLOUR b=X0:X1:COLOUR rounded sections, dots=X0:X1 (a colon between two figures)
//   checker  cell=N, two colours a= and b=
//   plate    a number plate: face=, region=1 (the region box with its flag)
//   torn     paper with a torn lower edge of teeth=N px
//   dashes   on=N off=N colour=
//   route    dot, line and ring of the route mark
// Box parameters (box and slice): inset=, inset_top=, inset_bottom=, background=, face= or top=/bottom=,
// r= (or r_tl= r_tr= r_br= r_bl=), border=, bw=, window= with wx=, wy0=, wy1=, split= (a dark band across the
// middle), line_right=, line_bottom=, line_h=, edges= (2-px side edges).
// Decorations of every kind, drawn last in this order: plate=disc|round with plate_colour=; ring= with ring_w=;
// glyph= with gsize=, gat=X,Y or gc=X,Y, gcolour=, accent=, outline=1; glyph2= with g2size=, g2at=/g2c=,
// g2colour=; over= (a second glyph in the accent colour over the first); note=X,Y,W,H with note_colour= (a
// light plate where the program writes).
// Stateless; throws table_error naming the row's line for an unknown kind, glyph or a bad parameter.
#pragma once

#include "tools/skin/skin_canvas.h"
#include "tools/skin/skin_table.h"

namespace skin_tools {

class skin_painter {
public:
    static skin_canvas paint(const skin_row& row);
};

} // namespace skin_tools
