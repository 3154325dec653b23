// The window's screenshot key: what the display shows, written as a PNG into
// the player's pictures folder under a name no earlier shot has taken.
#pragma once

#include <ctime>
#include <string>

namespace host::detail {

// Where screenshots go: $XDG_PICTURES_DIR; else the XDG_PICTURES_DIR line of
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config by default), where desktops keep
// it; else ~/Pictures when it exists; else the working folder ("."). A folder
// the first two name is made when missing.
std::string PicturesFolder();

// A second's shots have a thousand names: "quillmoth-YYYY-MM-DD-HH-MM-SS.png"
// and the same with "-2" ... "-1000" before ".png".
constexpr int ScreenshotNames = 1000;

// "FOLDER/quillmoth-YYYY-MM-DD-HH-MM-SS.png" for that local time, or the
// first of its numbered names nothing has taken yet (a link, even one to
// nowhere, takes its name); empty when all are taken.
std::string FreeScreenshotPath(const std::string& folder, const std::tm& when);

// What became of a screenshot.
struct Screenshot {
  std::string Path;   // the file written, absolute; empty when none was
  std::string Title;  // the same in a few words, for the window's title
};

// Writes the display's 240 x 320 picture, each pixel made a `factor`
// square (1 to 8), as a new file under the first free name of that second
// in `folder`, and says on standard error where it went, or why it could
// not. Nothing already there is ever replaced or written through, and no
// part of a picture is ever left under a shot's name.
Screenshot SaveScreenshotIn(const std::string& folder, const std::tm& when, int factor);
// The same into the pictures folder, named by the time now.
Screenshot SaveScreenshot(int factor);

}  // namespace host::detail
