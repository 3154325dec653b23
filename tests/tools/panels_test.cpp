// The controls drawn exactly where the game tests taps, and plain wells
// where it prints numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "tools/asset_files.h"

namespace {

using asset_test::LoadPicture;
using asset_test::MeanBrightness;
using asset_test::Picture;
using asset_test::Rect;

// A control stands out when its inside differs clearly from a 3-pixel band
// around it.
void ExpectStandsOut(const Picture& p, Rect r, const char* what) {
  const double inside = MeanBrightness(p, r);
  const double around = MeanBrightness(p, {r.x0 - 3, r.y0 - 3, r.x1 + 3, r.y1 + 3}, &r);
  EXPECT_GT(std::fabs(inside - around), 40.0) << what << ": " << inside << " vs " << around;
}

// Numbers need one plain dark colour behind them.
void ExpectPlain(const Picture& p, Rect r, const char* what) {
  std::set<uint16_t> colours;
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) colours.insert(p.At(x, y));
  EXPECT_EQ(colours.size(), 1u) << what;
  EXPECT_LT(asset_test::Brightness(*colours.begin()), 200) << what;
}

TEST(Panels, PlayPanelControlsAndCounters) {
  const Picture p = LoadPicture("panel2.tga", 240, 80);
  ASSERT_TRUE(p.loaded);
  // Screen rows 240..319 are panel rows 0..79.
  ExpectStandsOut(p, {223, 1, 239, 15}, "sound toggle");
  ExpectStandsOut(p, {0, 55, 55, 79}, "about");
  ExpectStandsOut(p, {63, 55, 173, 79}, "board selection");
  ExpectStandsOut(p, {190, 55, 239, 79}, "quit");
  // Three digits and their shadow at (63, 257); up to four at (177, 257).
  ExpectPlain(p, {63, 17, 112, 32}, "time");
  ExpectPlain(p, {177, 17, 239, 32}, "moves");
}

TEST(Panels, SelectScreenButtonsAndRecordWells) {
  const Picture p = LoadPicture("panel3.tga", 240, 320);
  ASSERT_TRUE(p.loaded);
  for (int j = 0; j < 6; ++j) {
    const int x0 = 124 + 37 * (j % 3);
    const int y0 = 3 + 18 * (j / 3);
    // The gaps between size buttons are only 2 or 3 pixels, so compare the
    // button's plate with its own label-free rim rather than a band.
    EXPECT_GT(MeanBrightness(p, {x0, y0, x0 + 33, y0 + 15}),
              MeanBrightness(p, {x0 - 3, 40, x0 + 36, 42}) + 40)
        << "size " << j;
  }
  ExpectStandsOut(p, {0, 44, 60, 72}, "start");
  ExpectStandsOut(p, {180, 44, 239, 72}, "back");
  for (int i = 0; i < 6; ++i) {
    const int y = 96 + 40 * i;
    ExpectPlain(p, {95, y, 144, y + 15}, "best time");
    ExpectPlain(p, {174, y, 238, y + 15}, "fewest moves");
  }
}

TEST(Panels, TitlePanelAndAboutPageCarryText) {
  // Light text on the dark page: a fair number of bright pixels in the
  // lower panel ("tap to start") and all over the about page.
  auto bright = [](const Picture& p, Rect r) {
    int n = 0;
    for (int y = r.y0; y <= r.y1; ++y)
      for (int x = r.x0; x <= r.x1; ++x) n += asset_test::Brightness(p.At(x, y)) > 500;
    return n;
  };
  const Picture title = LoadPicture("panel4.tga", 240, 80);
  const Picture about = LoadPicture("about.tga", 240, 320);
  ASSERT_TRUE(title.loaded && about.loaded);
  EXPECT_GT(bright(title, {40, 15, 200, 45}), 200);
  EXPECT_GT(bright(about, {0, 280, 239, 319}), 200);  // "tap to return"
  EXPECT_GT(bright(about, {0, 120, 239, 260}), 800);  // how to play
}

}  // namespace
