#include "platform/desktop/window_picture.h"

#include <algorithm>
#include <cstring>

namespace host::detail {
namespace {

// Division that rounds towards minus infinity, so the window pixels just
// left of or above the picture land on -1, not on column or row 0.
int FloorDivide(int value, int divisor) {
  const int quotient = value / divisor;
  return quotient * divisor > value ? quotient - 1 : quotient;
}

// Stores a mapped pixel value as the surface keeps it: 24-bit pixels are
// three bytes in the machine's byte order, as SDL writes them.
void StorePixel(uint8_t* at, uint32_t value, int bytes) {
  switch (bytes) {
    case 1:
      *at = static_cast<uint8_t>(value);
      break;
    case 2: {
      const auto half = static_cast<uint16_t>(value);
      std::memcpy(at, &half, 2);
      break;
    }
    case 3:
      for (int i = 0; i < 3; ++i) {
        const int shift = SDL_BYTEORDER == SDL_LIL_ENDIAN ? 8 * i : 8 * (2 - i);
        at[i] = static_cast<uint8_t>(value >> shift);
      }
      break;
    default:
      std::memcpy(at, &value, 4);
      break;
  }
}

// Each pixel `Factor` times; a constant factor lets the compiler unroll.
template <int Factor>
void Replicate(const uint32_t* source, uint32_t* out) {
  for (int x = 0; x < ScreenWidth; ++x, out += Factor) {
    for (int k = 0; k < Factor; ++k) out[k] = source[x];
  }
}

}  // namespace

int FitWindowScale(int usableWidth, int usableHeight, const WindowBorders& borders, int requested) {
  // Past 3 the default window would fill most desktops; a player who wants
  // more asks for it (or maximises).
  constexpr int MaxDefaultScale = 3;
  int scale = requested > 0 ? requested : MaxDefaultScale;
  while (scale > 1 && (ScreenWidth * scale + borders.Left + borders.Right > usableWidth ||
                       ScreenHeight * scale + borders.Top + borders.Bottom > usableHeight)) {
    --scale;
  }
  return scale;
}

PicturePlacement PlacePicture(int width, int height) {
  const int factor = std::max(1, std::min(width / ScreenWidth, height / ScreenHeight));
  return {factor, (width - ScreenWidth * factor) / 2, (height - ScreenHeight * factor) / 2};
}

bool WindowToDisplay(const PicturePlacement& placement, int x, int y, int* displayX,
                     int* displayY) {
  const int column = FloorDivide(x - placement.Left, placement.Factor);
  const int row = FloorDivide(y - placement.Top, placement.Factor);
  if (column < 0 || row < 0 || column >= ScreenWidth || row >= ScreenHeight) return false;
  *displayX = column;
  *displayY = row;
  return true;
}

void PictureScaler::ScaleRow(const SDL_PixelFormat& format, const uint32_t* source, int factor) {
  const int bytes = format.BytesPerPixel;
  Row_.resize(static_cast<size_t>(ScreenWidth * factor * bytes));
  if (bytes == 4 && format.Rloss == 0 && format.Gloss == 0 && format.Bloss == 0) {
    // Eight bits a channel, as nearly every desktop has: shift the channels
    // into place (nothing to do for the usual X server's 0x00RRGGBB).
    const uint32_t* pixels = source;
    if (format.Rshift != 16 || format.Gshift != 8 || format.Bshift != 0 || format.Amask != 0) {
      for (int x = 0; x < ScreenWidth; ++x) {
        const uint32_t value = source[x];
        Shifted_[x] = (value >> 16 & 0xFF) << format.Rshift | (value >> 8 & 0xFF) << format.Gshift |
                      (value & 0xFF) << format.Bshift | format.Amask;
      }
      pixels = Shifted_.data();
    }
    auto* out = reinterpret_cast<uint32_t*>(Row_.data());
    switch (factor) {
      case 1:
        return Replicate<1>(pixels, out);
      case 2:
        return Replicate<2>(pixels, out);
      case 3:
        return Replicate<3>(pixels, out);
      case 4:
        return Replicate<4>(pixels, out);
      default:
        for (int x = 0; x < ScreenWidth; ++x) {
          for (int k = 0; k < factor; ++k) *out++ = pixels[x];
        }
        return;
    }
  }
  // Any other format: SDL picks the nearest value it can hold (a palette
  // entry, fewer bits a channel). Runs of one colour map once.
  uint8_t* out = Row_.data();
  uint32_t last = 0;
  uint32_t mapped = SDL_MapRGB(&format, 0, 0, 0);
  for (int x = 0; x < ScreenWidth; ++x) {
    if (source[x] != last) {
      last = source[x];
      mapped = SDL_MapRGB(&format, static_cast<uint8_t>(last >> 16),
                          static_cast<uint8_t>(last >> 8), static_cast<uint8_t>(last));
    }
    for (int k = 0; k < factor; ++k, out += bytes) StorePixel(out, mapped, bytes);
  }
}

SDL_Rect PictureScaler::Draw(SDL_Surface* surface, const PicturePlacement& placement,
                             std::span<const uint32_t, ScreenWidth * ScreenHeight> picture,
                             int firstRow, int endRow) {
  const int factor = placement.Factor;
  const int left = std::max(placement.Left, 0);
  const int right = std::min(placement.Left + ScreenWidth * factor, surface->w);
  const int top = std::max(placement.Top + std::max(firstRow, 0) * factor, 0);
  const int bottom = std::min(placement.Top + std::min(endRow, ScreenHeight) * factor, surface->h);
  if (left >= right || top >= bottom) return {0, 0, 0, 0};
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return {0, 0, 0, 0};
  const int bytes = surface->format->BytesPerPixel;
  const size_t skip = static_cast<size_t>((left - placement.Left) * bytes);
  const size_t width = static_cast<size_t>((right - left) * bytes);
  auto* pixels = static_cast<uint8_t*>(surface->pixels);
  int row = -1;
  for (int y = top; y < bottom; ++y) {
    const int sourceRow = (y - placement.Top) / factor;
    if (sourceRow != row) {
      row = sourceRow;
      ScaleRow(*surface->format, picture.data() + row * ScreenWidth, factor);
    }
    std::memcpy(pixels + static_cast<ptrdiff_t>(y) * surface->pitch + left * bytes,
                Row_.data() + skip, width);
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  return {left, top, right - left, bottom - top};
}

}  // namespace host::detail
