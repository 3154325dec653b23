// The built-in 7 x 7 glyph font as text: one table for the game, which draws
// its numbers and tables with it, and for the asset generator, which letters
// the artwork with the same glyphs.
#pragma once

#include <cstdint>

constexpr int32_t GlyphCount = 54;
constexpr int32_t GlyphRows = 7;
constexpr int32_t SpaceGlyph = 44;  // what characters outside the charset draw

// Glyph g draws character FontCharset[g].
inline constexpr char FontCharset[GlyphCount + 1] =
    "abcdefghijklmnopqrstuvwxyz0123456789:!?-=+[] .,><#'@/S";

// Each glyph is a 7 x 7 grid, top row first, leftmost cell first: "o" is ink.
// The game keeps the font in this text form and reads the cells as it draws.
// The digits are segment shapes, so a missing segment is a blank row.
inline constexpr const char* GlyphRowTexts[GlyphCount][GlyphRows] = {
    {"oooo:::", "oo:oo::", "oo::oo:", "oo:::oo", "ooooooo", "oo:::oo", "oo:::oo"},  // a
    {"oooo:::", "oo:oo::", ":oo::::", "ooooo::", "oo::oo:", "oo:::oo", "oooooo:"},  // b
    {"::ooooo", ":oo::::", "oo:::::", "oo:::::", "oo:::::", "oo:::::", ":oooooo"},  // c
    {"oooo:::", "oo:oo::", "oo::oo:", "oo:::oo", "oo:::oo", "oo:::oo", "oooooo:"},  // d
    {"ooooooo", "oo:::::", "oo:::::", "ooooooo", "oo:::::", "oo:::::", "ooooooo"},  // e
    {"ooooooo", "oo:::::", "oo:::::", "ooooo::", "oo:::::", "oo:::::", "oo:::::"},  // f
    {"::oooo:", ":oo::::", "oo:::::", "oo:oooo", "oo:::oo", "oo:::oo", ":oooooo"},  // g
    {"oo::::o", "oo::::o", "oo::::o", "ooooooo", "oo::::o", "oo::::o", "oo::::o"},  // h
    {"::oooo:", ":::oo::", ":::oo::", ":::oo::", ":::oo::", ":::oo::", "::oooo:"},  // i
    {"::ooooo", ":::::oo", ":::::oo", ":::::oo", "oo:::oo", ":oo:oo:", "::ooo::"},  // j
    {"oo::oo:", "oo:oo::", "oooo:::", "ooo::::", "ooooo::", "oo::oo:", "oo:::oo"},  // k
    {"oo:::::", "oo:::::", "oo:::::", "oo:::::", "oo:::::", "oo:::::", "ooooooo"},  // l
    {"o:::::o", "oo:::oo", "ooo:ooo", "ooooooo", "oo:o:oo", "oo:::oo", "oo:::oo"},  // m
    {"oo:::oo", "ooo::oo", "oooo:oo", "oo:oooo", "oo::ooo", "oo:::oo", "oo:::oo"},  // n
    {"::ooo::", ":oo:oo:", "oo:::oo", "oo:::oo", "oo:::oo", "oo:::oo", ":ooooo:"},  // o
    {"ooooo::", "oo::oo:", "oo:::oo", "oo:::oo", "oooooo:", "oo:::::", "oo:::::"},  // p
    {"::ooo::", ":oo:oo:", "oo:::oo", "oo:o:oo", "oo:oooo", "oo::oo:", ":ooo:oo"},  // q
    {"ooooo::", "oo::oo:", "oo:::oo", "oooooo:", "oo:oo::", "oo::oo:", "oo:::oo"},  // r
    {"::ooooo", ":oo::::", "oo:::::", "ooooooo", ":::::oo", "::::oo:", "ooooo::"},  // s
    {"ooooooo", ":::oo::", ":::oo::", ":::oo::", ":::oo::", ":::oo::", ":::oo::"},  // t
    {"oo:::oo", "oo:::oo", "oo:::oo", "oo:::oo", "oo:::oo", "oo::oo:", ":oooo::"},  // u
    {"oo:::oo", "oo:::oo", ":oo:oo:", ":oo:oo:", "::ooo::", "::ooo::", ":::o:::"},  // v
    {"oo:::oo", "oo:::oo", "oo:::oo", "oo:::oo", "oo:o:oo", ":ooooo:", "::o:o::"},  // w
    {"oo::::o", ":oo::oo", "::oooo:", ":::oo::", "::oooo:", ":oo::oo", "oo::::o"},  // x
    {"oo::::o", ":oo::oo", "::oooo:", ":::oo::", ":::oo::", ":::oo::", ":::oo::"},  // y
    {"ooooooo", "::::oo:", ":::oo::", "::oo:::", ":oo::::", "oo:::::", "ooooooo"},  // z
    {":ooooo:", "oo:::oo", "oo:::oo", ":::::::", "oo:::oo", "oo:::oo", ":ooooo:"},  // 0
    {":::::::", ":::::oo", ":::::oo", ":::::::", ":::::oo", ":::::oo", ":::::::"},  // 1
    {":ooooo:", ":::::oo", ":::::oo", ":ooooo:", "oo:::::", "oo:::::", ":ooooo:"},  // 2
    {":ooooo:", ":::::oo", ":::::oo", ":ooooo:", ":::::oo", ":::::oo", ":ooooo:"},  // 3
    {":::::::", "oo:::oo", "oo:::oo", ":ooooo:", ":::::oo", ":::::oo", ":::::::"},  // 4
    {":ooooo:", "oo:::::", "oo:::::", ":ooooo:", ":::::oo", ":::::oo", ":ooooo:"},  // 5
    {":ooooo:", "oo:::::", "oo:::::", ":ooooo:", "oo:::oo", "oo:::oo", ":ooooo:"},  // 6
    {":ooooo:", ":::::oo", ":::::oo", ":::::::", ":::::oo", ":::::oo", ":::::::"},  // 7
    {":ooooo:", "oo:::oo", "oo:::oo", ":ooooo:", "oo:::oo", "oo:::oo", ":ooooo:"},  // 8
    {":ooooo:", "oo:::oo", "oo:::oo", ":ooooo:", ":::::oo", ":::::oo", ":ooooo:"},  // 9
    {":::::::", ":::::::", ":::o:::", ":::::::", ":::::::", ":::o:::", ":::::::"},  // :
    {":::oo::", ":::oo::", ":::oo::", ":::oo::", ":::::::", ":::oo::", ":::oo::"},  // !
    {":oooo::", "::::oo:", "::::oo:", ":::oo::", ":::::::", "::oo:::", "::oo:::"},  // ?
    {":::::::", ":::::::", ":::::::", "::oooo:", ":::::::", ":::::::", ":::::::"},  // -
    {":::::::", ":::::::", ":::::::", ":ooooo:", ":::::::", ":ooooo:", ":::::::"},  // =
    {":::::::", ":::o:::", ":::o:::", ":::o:::", ":::o:::", ":::o:::", ":::::::"},  // +
    {"::ooo::", "::o::::", "::o::::", "::o::::", "::o::::", "::o::::", "::ooo::"},  // [
    {"::ooo::", "::::o::", "::::o::", "::::o::", "::::o::", "::::o::", "::ooo::"},  // ]
    {":::::::", ":::::::", ":::::::", ":::::::", ":::::::", ":::::::", ":::::::"},  // space
    {":::::::", ":::::::", ":::::::", ":::::::", ":::::::", ":::oo::", ":::oo::"},  // .
    {":::::::", ":::::::", ":::::::", ":::::::", "::::o::", "::::o::", ":::o:::"},  // ,
    {":o:::::", "::o::::", ":::o:::", "::::o::", ":::o:::", "::o::::", ":o:::::"},  // >
    {"::::o::", ":::o:::", "::o::::", ":o:::::", "::o::::", ":::o:::", "::::o::"},  // <
    {"ooooooo", "ooooooo", "ooooooo", "ooooooo", "ooooooo", "ooooooo", "ooooooo"},  // #
    {":::o:::", ":::o:::", "::o::::", ":::::::", ":::::::", ":::::::", ":::::::"},  // apostrophe
    {"::ooo::", ":o:::o:", "o::oo:o", "o:o:::o", "o::oooo", ":o:::::", "::oooo:"},  // @
    {"::::::o", ":::::o:", "::::o::", ":::o:::", "::o::::", ":o:::::", "o::::::"},  // /
    {"o::::::", ":o:::::", "::o::::", ":::o:::", "::::o::", ":::::o:", "::::::o"},  // S
};
