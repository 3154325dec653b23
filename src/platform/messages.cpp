// Windows, window classes and the message queue.
//
// The game has one window. Around it the host keeps the handheld's taskbar,
// an in-memory window of class "HHTaskbar" that the game hides while it owns
// the screen, and stand-ins for the window of another running copy (see
// single_instance.cpp). Handles are pointers into a list owned here; every
// call checks that it was handed a live one, so a stale handle is refused
// instead of followed.
#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backend.h"
#include "platform/host.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/recorder.h"
#include "platform/script.h"
#include "platform/single_instance.h"

struct PlatformWindow {
  std::string ClassName;
  std::string Title;
  WindowProcedure Procedure = nullptr;
  PlatformRect Rect = {0, 0, 0, 0};
  bool Visible = false;
  bool EverShown = false;
  bool OtherCopy = false;  // the window of another running copy
};

namespace host {
namespace {

constexpr const char* TaskbarClassName = "HHTaskbar";
constexpr const char* GameClassName = "Quillmoth";

struct ClassEntry {
  std::string Name;
  WindowProcedure Procedure;
  IconHandle Icon;
};

struct WindowState {
  std::vector<ClassEntry> Classes;
  std::vector<std::unique_ptr<PlatformWindow>> Windows;
  std::deque<PlatformMessage> Queue;
  WindowHandle Taskbar = nullptr;
  WindowHandle Game = nullptr;
  uint32_t LastShellFlags = 0;
  bool ClassFails = false;
  bool WindowFails = false;
};

WindowState& State() {
  static WindowState state;
  return state;
}

PlatformWindow* Find(WindowHandle window) {
  for (auto& owned : State().Windows) {
    if (owned.get() == window) return owned.get();
  }
  return nullptr;
}

const ClassEntry* FindClass(const char* name) {
  if (name == nullptr) return nullptr;
  for (const ClassEntry& entry : State().Classes) {
    if (entry.Name == name) return &entry;
  }
  return nullptr;
}

PlatformWindow* AddWindow(std::string className, std::string title, WindowProcedure procedure) {
  auto window = std::make_unique<PlatformWindow>();
  window->ClassName = std::move(className);
  window->Title = std::move(title);
  window->Procedure = procedure;
  State().Windows.push_back(std::move(window));
  return State().Windows.back().get();
}

intptr_t Deliver(PlatformWindow* window, uint32_t message, uintptr_t first, intptr_t second) {
  if (window == nullptr || window->Procedure == nullptr) return 0;
  return window->Procedure(window, message, first, second);
}

}  // namespace

namespace detail {

void QueueMessage(const PlatformMessage& message) { State().Queue.push_back(message); }

WindowHandle GameWindow() { return State().Game; }

IconHandle GameWindowIcon() {
  const PlatformWindow* game = State().Game;
  if (game == nullptr) return nullptr;
  const ClassEntry* entry = FindClass(game->ClassName.c_str());
  return entry != nullptr ? entry->Icon : nullptr;
}

void StartWindows() {
  // The handheld's taskbar is up when a program starts.
  PlatformWindow* taskbar = AddWindow(TaskbarClassName, "", DefaultWindowProcedure);
  taskbar->Rect = {0, 294, ScreenWidth, ScreenHeight};
  taskbar->Visible = true;
  taskbar->EverShown = true;
  State().Taskbar = taskbar;
}

void ResetWindows() { State() = WindowState{}; }

}  // namespace detail

bool TaskbarVisible() {
  const PlatformWindow* taskbar = State().Taskbar;
  return taskbar != nullptr && taskbar->Visible;
}

uint32_t LastShellFlags() { return State().LastShellFlags; }

void PostMessageToGameWindow(uint32_t message, uintptr_t first, intptr_t second) {
  detail::QueueMessage({State().Game, message, first, second});
}

void SetWindowCreationFails(bool classFails, bool windowFails) {
  State().ClassFails = classFails;
  State().WindowFails = windowFails;
}

}  // namespace host

using host::State;

WindowHandle FindTopLevelWindow(const char* className) {
  if (className == nullptr) return nullptr;
  for (auto& window : State().Windows) {
    if (!window->OtherCopy && window->ClassName == className) return window.get();
  }
  // The game's class is also looked for among the other copies of the
  // program that the same user runs.
  if (std::string_view(className) == host::GameClassName && host::detail::FindRunningCopy()) {
    for (auto& window : State().Windows) {
      if (window->OtherCopy) return window.get();
    }
    PlatformWindow* other = host::AddWindow(className, "", nullptr);
    other->OtherCopy = true;
    other->Visible = true;
    return other;
  }
  return nullptr;
}

bool DeclareWindowClass(const WindowClass& windowClass) {
  auto& state = State();
  if (state.ClassFails || windowClass.ClassName == nullptr || windowClass.Procedure == nullptr) {
    return false;
  }
  if (host::FindClass(windowClass.ClassName) != nullptr) return false;  // already declared
  state.Classes.push_back({windowClass.ClassName, windowClass.Procedure, windowClass.Icon});
  return true;
}

WindowHandle CreatePlatformWindow(uint32_t /*exStyle*/, const char* className, const char* title,
                                  uint32_t /*style*/, int32_t x, int32_t y, int32_t width,
                                  int32_t height, WindowHandle /*parent*/, void* /*menu*/,
                                  InstanceHandle /*instance*/, void* /*createData*/) {
  auto& state = State();
  const host::ClassEntry* entry = host::FindClass(className);
  if (state.WindowFails || entry == nullptr) return nullptr;
  PlatformWindow* window =
      host::AddWindow(entry->Name, title != nullptr ? title : "", entry->Procedure);
  window->Rect = {x, y, x + width, y + height};
  const bool first = state.Game == nullptr;
  if (first) state.Game = window;
  if (window->ClassName == host::GameClassName) {
    host::detail::RegisterRunningCopy();
    // This copy plays, so the recording is its to write.
    host::detail::OpenRecording();
  }
  // A window hears of its own creation before its creator gets the handle.
  host::Deliver(window, MessageCreate, 0, 0);
  // The scripted input that is due before the first frame is queued now, so
  // a tap made at start-up waits in the queue while the assets load.
  if (first) host::detail::BeginScript();
  return window;
}

bool ShowPlatformWindow(WindowHandle handle, int showCommand) {
  PlatformWindow* window = host::Find(handle);
  if (window == nullptr) return false;
  if (window->OtherCopy) {
    return showCommand == ShowHide || host::detail::AskRunningCopyToShow();
  }
  const bool visible = showCommand != ShowHide;
  const bool firstShow = visible && !window->EverShown;
  window->Visible = visible;
  window->EverShown = window->EverShown || visible;
  if (window == State().Game) {
    host::detail::CurrentBackend().ShowGameWindow(visible);
    // A desktop activates a window the first time it appears.
    if (firstShow) host::Deliver(window, MessageActivate, ActivateOn, 0);
  }
  return true;
}

bool UpdatePlatformWindow(WindowHandle handle) {
  PlatformWindow* window = host::Find(handle);
  if (window == nullptr || window->OtherCopy) return false;
  // Nothing is painted through the window: the picture comes from the
  // display memory, which is shown when the game ends a draw.
  return true;
}

bool GetPlatformWindowRect(WindowHandle handle, PlatformRect* rect) {
  const PlatformWindow* window = host::Find(handle);
  if (window == nullptr || window->OtherCopy || rect == nullptr) return false;
  *rect = window->Rect;
  return true;
}

bool MovePlatformWindow(WindowHandle handle, int32_t x, int32_t y, int32_t width, int32_t height,
                        bool /*repaint*/) {
  PlatformWindow* window = host::Find(handle);
  if (window == nullptr || window->OtherCopy) return false;
  // Kept in memory only: on the desktop the window manager places the real
  // window, and the game's picture is always the whole 240 x 320 screen.
  window->Rect = {x, y, x + width, y + height};
  return true;
}

intptr_t DefaultWindowProcedure(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

void PostQuitRequest(int exitCode) {
  host::detail::QueueMessage(
      {nullptr, MessageQuit, static_cast<uintptr_t>(static_cast<uint32_t>(exitCode)), 0});
}

bool PeekPlatformMessage() {
  host::detail::CurrentBackend().CollectDesktopEvents();
  host::detail::CollectShowRequests();
  return !State().Queue.empty();
}

bool TakePlatformMessage(PlatformMessage* message) {
  auto& queue = State().Queue;
  if (queue.empty()) {
    // Misuse (nothing was waiting); answer with an empty message.
    if (message != nullptr) *message = {nullptr, 0, 0, 0};
    return true;
  }
  const PlatformMessage taken = queue.front();
  queue.pop_front();
  if (message != nullptr) *message = taken;
  return taken.Message != MessageQuit;
}

void TranslatePlatformMessage(const PlatformMessage&) {
  // The game reads no typed characters, so key presses are not turned into
  // character messages.
}

intptr_t DispatchPlatformMessage(const PlatformMessage& message) {
  PlatformWindow* window = host::Find(message.Window);
  if (window == nullptr || window->OtherCopy) return 0;
  host::detail::NoteDispatched(message);
  return host::Deliver(window, message.Message, message.First, message.Second);
}

BrushHandle GetStockBrush(int stockObject) {
  // Brushes only colour a background that nothing ever shows; any stock
  // object gets a distinct, non-null token.
  static int tokens[8];
  if (stockObject < 0 || stockObject >= 8) return nullptr;
  return &tokens[stockObject];
}

InstanceHandle GetProgramInstance() {
  static int instance;
  return &instance;
}

bool ShellFullScreen(WindowHandle window, uint32_t flags) {
  const PlatformWindow* found = host::Find(window);
  if (found == nullptr || found->OtherCopy) return false;
  State().LastShellFlags = flags;
  return true;
}
