// The headless backend: nothing on the desktop, no audio device, and a
// virtual clock.
//
// The clock moves only when the game sleeps, by exactly the time asked for.
// The game's frame pause sleeps until 30 ms have passed since the frame's
// mark, so every frame lasts exactly 30 ms of game time however fast the
// machine is (or the length a script's "wait N MS" gives it, as a recording
// does), and a scripted run gives the same pictures every time.
#include <memory>

#include "platform/backend.h"
#include "platform/desktop/backends.h"
#include "platform/desktop/sound.h"
#include "platform/desktop/virtual_clock.h"

namespace host::detail {
namespace {

class HeadlessBackend final : public Backend {
 public:
  explicit HeadlessBackend(const Options& options)
      : Clock_(options.TickStart.value_or(0)), Sounds_(nullptr) {}

  uint32_t ReadTicks() override { return Clock_.Read(); }
  void Sleep(uint32_t milliseconds) override { Clock_.Sleep(milliseconds); }
  void SetTicks(uint32_t ticks) override { Clock_.Set(ticks); }
  void BeginFrame(uint32_t length) override { Clock_.BeginFrame(length); }
  void CollectDesktopEvents() override {}
  void ShowGameWindow(bool) override {}
  void BringToFront() override {}
  void PresentDisplay() override {}
  // Nothing is heard; the answer is still whether the file would play.
  bool PlaySound(const std::string& path, uint32_t) override {
    return Sounds_.Load(path) != nullptr;
  }
  void ShowNotice(const std::string&) override {}  // standard error says it all
  void HoldLastFrame() override {}

 private:
  VirtualClock Clock_;
  SoundCache Sounds_;
};

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend(const Options& options) {
  return std::make_unique<HeadlessBackend>(options);
}

}  // namespace host::detail
