// The built-in 7 x 7 font, drawn at double size.
#pragma once

#include <cstdint>

#include "gfx/glyph_table.h"

constexpr int32_t GlyphRowBytes = 10;

// Row k of glyph g: a 10-byte block holding "o" (ink) and ":" (none), then 0.
extern char* GlyphFont[GlyphCount][GlyphRows];
extern int32_t GlyphIndexMap[256];

void BuildGlyphFont();
void FreeGlyphFont();
// Draws text with its top-left corner at (x, y); see font.cpp for the pen's
// wrapping rules.
void DrawString(const char* text, int32_t x, int32_t y, int32_t colour);

// Numbers on screen are "%.3d": at least three digits. The buffer holds any
// 32-bit value with its sign.
using NumberText = char[12];
void FormatNumber(NumberText& out, int32_t value);
// Draws a number the game's way: black at (x + 1, y + 1), white at (x, y).
void DrawShadowedText(const char* text, int32_t x, int32_t y);
