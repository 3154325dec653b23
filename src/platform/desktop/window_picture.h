// Where the 240 x 320 picture lies in a window, drawn by the host itself:
// whole-factor pixel replication into the window's own surface, centred on
// black, and the same transform backwards for the mouse and touch.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/host.h"

namespace host::detail {

struct PicturePlacement {
  int Factor = 1;
  // The window pixel of the picture's top left corner; negative when the
  // window is smaller than the picture, whose edges are then cut off.
  int Left = 0;
  int Top = 0;
};

// What the window manager adds around a window: title bar, frame.
struct WindowBorders {
  int Top = 0;
  int Left = 0;
  int Bottom = 0;
  int Right = 0;
};

// The largest whole factor, at most `requested` (at most 3 when it is 0, the
// default), at which the window and its borders fit a usable desktop area of
// this size; at least 1, even on a desktop too small for that.
int FitWindowScale(int usableWidth, int usableHeight, const WindowBorders& borders, int requested);

// The largest whole factor (at least 1) at which the picture fits a window
// area of this size, centred in it.
PicturePlacement PlacePicture(int width, int height);

// The display pixel under window pixel (x, y); false on the border around
// the picture, which touches nothing.
bool WindowToDisplay(const PicturePlacement& placement, int x, int y, int* displayX, int* displayY);

class PictureScaler {
 public:
  // Draws picture rows [firstRow, endRow) (0x00RRGGBB pixels, top row first)
  // into the surface, clipped to it, and returns the surface rectangle it
  // wrote (empty when nothing showed). Other pixels are left alone.
  SDL_Rect Draw(SDL_Surface* surface, const PicturePlacement& placement,
                std::span<const uint32_t, ScreenWidth * ScreenHeight> picture, int firstRow,
                int endRow);

 private:
  // One scaled picture row in the surface's pixel format.
  void ScaleRow(const SDL_PixelFormat& format, const uint32_t* source, int factor);

  std::vector<uint8_t> Row_;
  std::array<uint32_t, ScreenWidth> Shifted_{};
};

}  // namespace host::detail
