// The headless backend: nothing on the desktop, no audio device, and a
// virtual clock.
//
// The clock moves only when the game sleeps, by exactly the time asked for.
// The game's frame pause sleeps until 30 ms have passed since the frame's
// mark, so every frame lasts exactly 30 ms of game time however fast the
// machine is, and a scripted run gives the same pictures every time.
#include <memory>

#include "platform/backend.h"
#include "platform/sound.h"

namespace host::detail {
namespace {

class HeadlessBackend final : public Backend {
 public:
  explicit HeadlessBackend(const Options& options) : Ticks_(options.TickStart), Sounds_(nullptr) {}

  uint32_t ReadTicks() override { return Ticks_; }
  void Sleep(uint32_t milliseconds) override { Ticks_ += milliseconds; }  // wraps like the device
  void SetTicks(uint32_t ticks) override { Ticks_ = ticks; }
  void CollectDesktopEvents() override {}
  void ShowGameWindow(bool) override {}
  void BringToFront() override {}
  void PresentDisplay() override {}
  // Nothing is heard; the answer is still whether the file would play.
  bool PlaySound(const std::string& path, uint32_t) override {
    return Sounds_.Load(path) != nullptr;
  }

 private:
  uint32_t Ticks_;
  SoundCache Sounds_;
};

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend(const Options& options) {
  return std::make_unique<HeadlessBackend>(options);
}

}  // namespace host::detail
