#include "app/window.h"

#include "services/input.h"

WindowHandle MainWindow = nullptr;

namespace {

constexpr const char* TaskbarClassName = "HHTaskbar";
constexpr uint32_t GiveScreenBackFlags =
    ShellShowTaskbar | ShellShowInputButton | ShellShowStartIcon;
constexpr uint32_t TakeScreenFlags = ShellHideTaskbar | ShellHideInputButton | ShellHideStartIcon;

}  // namespace

void SetTaskbarVisible(bool visible) {
  // Before the window exists only the taskbar itself can be hidden: that is
  // how start-up gets it out of the way before the window is shown.
  PlatformRect rect{};
  const bool haveWindow = MainWindow != nullptr && GetPlatformWindowRect(MainWindow, &rect);
  WindowHandle taskbar = FindTopLevelWindow(TaskbarClassName);
  if (haveWindow) ShellFullScreen(MainWindow, visible ? GiveScreenBackFlags : TakeScreenFlags);
  if (taskbar != nullptr) ShowPlatformWindow(taskbar, visible ? ShowShow : ShowHide);
  // The window lies at (0, 0), so right and bottom are its width and height:
  // this re-applies its own rectangle over the space the taskbar gave up.
  if (haveWindow)
    MovePlatformWindow(MainWindow, rect.Left, rect.Top, rect.Right, rect.Bottom, true);
}

intptr_t GameWindowProcedure(WindowHandle window, uint32_t message, uintptr_t first,
                             intptr_t second) {
  switch (message) {
    case MessageCreate:
    case MessageEnable:
    case MessageSettingChange:
      SetTaskbarVisible(false);
      return 0;
    case MessageDestroy:
      PostQuitRequest(0);
      return 0;
    case MessageActivate:
      // A click that brings the window forward leaves the taskbar alone; the
      // system's own activation re-takes the screen, deactivation gives it back.
      switch (first & 0xFFFFu) {
        case ActivateOff:
          SetTaskbarVisible(true);
          break;
        case ActivateOn:
          SetTaskbarVisible(false);
          break;
        default:
          break;
      }
      return 0;
    case MessageStylusDown:
      RecordStylusDown(second);
      return 0;
    case MessageStylusMove:
    case MessageStylusUp:
    case MessageKeyDown:
    case MessageKeyUp:
      // Only the touch-down point counts; hardware keys have no function.
      return 0;
    default:
      return DefaultWindowProcedure(window, message, first, second);
  }
}
