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

// "FOLDER/quillmoth-YYYY-MM-DD-HH-MM-SS.png" for that local time, or with
// "-2", "-3", ... before ".png" when the name is taken.
std::string FreeScreenshotPath(const std::string& folder, const std::tm& when);

// Writes the display's 240 x 320 picture, each pixel made a `factor` square,
// into the pictures folder, and says on standard error where it went (or why
// it could not). Returns the path written, empty on failure.
std::string SaveScreenshot(int factor);

}  // namespace host::detail
