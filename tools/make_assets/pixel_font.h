// The two pixel fonts drawn into pictures: the game's own 7 x 7 glyph font
// (the same rows the game draws its numbers with) and a proportional 5 x 7
// font with descenders for labels and running text.
#pragma once

#include <string_view>

#include "make_assets/canvas.h"

namespace assets {

// Draws text in the game's glyph font, each cell scale x scale pixels,
// advancing 8 * scale per character like the game does at scale 2.
void DrawGlyphText(Canvas& canvas, std::string_view text, int x, int y, int scale, Rgb colour);
int GlyphTextWidth(std::string_view text, int scale);

// The small font: cap height 7, descenders 2 below, proportional advance.
// gap is the blank between letters in font pixels (1 is normal).
void DrawSmallText(Canvas& canvas, std::string_view text, int x, int y, int scale, Rgb colour,
                   int gap = 1);
int SmallTextWidth(std::string_view text, int scale, int gap = 1);
// Centred on cx.
void DrawSmallTextCentred(Canvas& canvas, std::string_view text, int cx, int y, int scale,
                          Rgb colour, int gap = 1);
// The ink of small text as a shape, for outlined or keyed lettering.
Shape SmallTextShape(std::string_view text, int x, int y, int scale, int gap = 1);

}  // namespace assets
