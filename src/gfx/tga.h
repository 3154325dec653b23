// Reading the game's pictures: uncompressed TGA into RGB565 Images.
#pragma once

#include <cstdint>

// Reads a width x height picture from path into destination (width * height
// values, top row first). colourMapped non-zero: 8-bit indices through a
// 256-entry 24-bit colour map; zero: 16-bit 1-5-5-5 pixels. The header is not
// interpreted. Returns 1 when the file was opened, read and closed, else 0
// (destination untouched). Bytes the file does not supply count as 0.
int32_t LoadTga(const char* path, int32_t width, int32_t height, uint16_t* destination,
                uint8_t colourMapped);
