#include "services/sound_effects.h"

#include "platform/platform.h"
#include "services/data_paths.h"

// Silent until start-up has loaded everything; LoadAssets turns it on just
// before the start-up chime.
uint8_t SoundOn = 0;

void PlayEffect(const char* path) {
  if (SoundOn != 1) return;
  // Whether the device played it is of no interest: a missing effect is
  // simply silence.
  PlaySoundFile(path, EffectFlags);
}

namespace {

void PlayNamedEffect(const char* fileName) {
  // Built on the stack: effects play from inside screens, which must not
  // allocate.
  char path[FolderCapacity + 16];
  JoinPath(path, sizeof path, SoundFolder, fileName);
  PlayEffect(path);
}

}  // namespace

void EffectNew() { PlayNamedEffect("new.wav"); }
void EffectSelect() { PlayNamedEffect("select.wav"); }
void EffectClick() { PlayNamedEffect("click.wav"); }
void EffectFade() { PlayNamedEffect("fade.wav"); }
void EffectStartup() { PlayNamedEffect("startup.wav"); }
