// The five effects, played from the sound folder unless muted.
#pragma once

#include <cstdint>

#include "platform/platform.h"

extern uint8_t SoundOn;  // exactly 1: effects sound

// Flags the game always plays with: a file name, never wait for a busy
// device, return at once.
constexpr uint32_t EffectFlags = SoundFileName | SoundNoStop | SoundAsync;

void PlayEffect(const char* path);
void EffectNew();
void EffectSelect();
void EffectClick();
void EffectFade();
void EffectStartup();
