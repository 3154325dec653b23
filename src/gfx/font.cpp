#include "gfx/font.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx/back_buffer.h"
#include "gfx/draw.h"

char* GlyphFont[GlyphCount][GlyphRows] = {};
int32_t GlyphIndexMap[256] = {};

namespace {

// A glyph cell is 2 x 2 pixels; the pen moves a full character plus a
// two-pixel gap.
constexpr int32_t GlyphColumns = 7;
constexpr int32_t CellPixels = 2;
constexpr int32_t Advance = 16;
// Wrapping: past x 230 the pen goes back to x 2 and down 9 (lines overlap),
// and stops going down at y 300.
constexpr int32_t WrapAfterX = 230;
constexpr int32_t LeftMargin = 2;
constexpr int32_t LineStep = 9;
constexpr int32_t LastLineY = 300;
// Line feed and carriage return push the pen past the wrap point.
constexpr int32_t ForceWrapX = 400;
constexpr int32_t Backspace = 8;

void DrawGlyph(int32_t glyph, int32_t penX, int32_t penY, int32_t colour) {
  // A glyph wholly inside the frame (the game's counters and tables always
  // are) needs no clipping: its 2 x 2 blocks go straight into the buffer.
  // Every block of a glyph has the same colour and no two overlap, so the
  // order of the writes changes nothing.
  const int32_t side = CellPixels * GlyphColumns;
  if (penX >= 0 && penY >= 0 && penX + side <= ScreenWidth && penY + side <= ScreenHeight) {
    const uint32_t ink = (colour & 0xFFFFu) * 0x10001u;  // two pixels at once
    for (int32_t k = 0; k < GlyphRows; ++k) {
      const char* row = GlyphFont[glyph][k];
      if (row == nullptr) continue;
      uint16_t* top = BackBuffer + (penY + CellPixels * k) * ScreenWidth + penX;
      for (int32_t j = 0; j < GlyphColumns; ++j) {
        if (row[j] != 'o') continue;
        std::memcpy(top + 2 * j, &ink, sizeof ink);
        std::memcpy(top + ScreenWidth + 2 * j, &ink, sizeof ink);
      }
    }
    return;
  }
  for (int32_t j = 0; j < GlyphColumns; ++j) {
    for (int32_t k = 0; k < GlyphRows; ++k) {
      const char* row = GlyphFont[glyph][k];
      if (row == nullptr || row[j] != 'o') continue;
      const int32_t px = penX + CellPixels * j;
      const int32_t py = penY + CellPixels * k;
      PutPixel(px, py, colour);
      PutPixel(px + 1, py, colour);
      PutPixel(px, py + 1, colour);
      PutPixel(px + 1, py + 1, colour);
    }
  }
}

}  // namespace

void BuildGlyphFont() {
  FreeGlyphFont();
  for (int32_t g = 0; g < GlyphCount; ++g) {
    for (int32_t k = 0; k < GlyphRows; ++k) {
      // A row that cannot be allocated stays empty and draws as blank cells.
      char* row = static_cast<char*>(std::malloc(GlyphRowBytes));
      if (row != nullptr) {
        std::memset(row, 0, GlyphRowBytes);
        std::memcpy(row, GlyphRowTexts[g][k], std::strlen(GlyphRowTexts[g][k]) + 1);
      }
      GlyphFont[g][k] = row;
    }
  }
  for (int32_t& entry : GlyphIndexMap) entry = SpaceGlyph;
  for (int32_t i = 0; i < GlyphCount; ++i) {
    GlyphIndexMap[static_cast<uint8_t>(FontCharset[i])] = i;
  }
}

void FreeGlyphFont() {
  for (auto& glyph : GlyphFont) {
    for (char*& row : glyph) {
      std::free(row);
      row = nullptr;
    }
  }
}

void DrawString(const char* text, int32_t x, int32_t y, int32_t colour) {
  if (text == nullptr) return;
  // The pen is kept wider than 32 bits so a start far off to the right cannot
  // overflow before the first wrap brings it back.
  int64_t penX = x;
  int64_t penY = y;
  for (const char* at = text; *at != '\0'; ++at) {
    const auto c = static_cast<uint8_t>(*at);
    if (c == '\n' || c == '\r') {
      penX = ForceWrapX;
    } else if (c == Backspace) {
      if (penX > LeftMargin) penX -= Backspace;
    } else {
      // Upper case has no glyphs of its own: "S" in the charset is a
      // backslash-like stroke that text never reaches.
      const uint8_t key = (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c;
      // A glyph wholly off the frame draws nothing, and is not drawn at all
      // so its cell arithmetic stays within 32 bits.
      if (penX > -CellPixels * GlyphColumns && penX < ScreenWidth &&
          penY > -CellPixels * GlyphRows && penY < ScreenHeight) {
        DrawGlyph(GlyphIndexMap[key], static_cast<int32_t>(penX), static_cast<int32_t>(penY),
                  colour);
      }
      penX += Advance;
    }
    if (penX > WrapAfterX) {
      penX = LeftMargin;
      if (penY < LastLineY) penY += LineStep;
    }
  }
}

void FormatNumber(NumberText& out, int32_t value) {
  std::snprintf(out, sizeof(NumberText), "%.3d", static_cast<int>(value));
}

void DrawShadowedText(const char* text, int32_t x, int32_t y) {
  // The shadow one pixel right and down; at the very end of the coordinate
  // range it would be off the frame anyway.
  if (x < INT32_MAX && y < INT32_MAX) DrawString(text, x + 1, y + 1, 0x0000);
  DrawString(text, x, y, 0xFFFF);
}
