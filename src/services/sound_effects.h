// The five effects, played from the sound folder unless muted.
#pragma once

#include <cstdint>

extern uint8_t SoundOn;  // exactly 1: effects sound

// Flags the game always plays with: a file name, never wait for a busy
// device, return at once.
constexpr uint32_t EffectFlags = 0x22001;

void PlayEffect(const char* path);
void EffectNew();
void EffectSelect();
void EffectClick();
void EffectFade();
void EffectStartup();
