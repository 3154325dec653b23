// The emulated display layouts, by benchmark argument, with their names.
#pragma once

#include "platform/host.h"

constexpr host::DisplayMode Modes[] = {
    host::DisplayMode::Rgb565,        host::DisplayMode::Rgb565Wide,
    host::DisplayMode::Rgb565Flipped, host::DisplayMode::Rgb565Sideways,
    host::DisplayMode::Gray4,         host::DisplayMode::Gray2,
    host::DisplayMode::Rgb444,
};
constexpr const char* ModeNames[] = {"rgb565", "rgb565-wide", "rgb565-flipped", "rgb565-sideways",
                                     "gray4",  "gray2",       "rgb444"};
