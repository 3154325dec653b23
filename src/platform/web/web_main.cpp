// The web page's program. web/page.js turns the page's address into the
// desktop's command-line options (?display=gray4 is --display gray4), so the
// host starts as the desktop program would; the game then runs until its quit
// button, after which the page offers a new game.
#include <emscripten.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/watch/game_watch.h"
#include "platform/web/web_backend.h"

// One line in the page's caption, and the "tap to play again" (web/page.js).
EM_JS(void, SayOnPage, (const char* text), { Module.say(UTF8ToString(text)); });
EM_JS(void, OfferNewGame, (), { Module.gameOver(); });
// How many faces of the player's the game plays with: the page offers ours
// back when there are any.
EM_JS(void, TellPageDeck, (int faces), {
  if (Module.deckInUse) Module.deckInUse(faces);
});

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  host::CommandLine line = host::ParseCommandLine(arguments);
  if (line.Action != host::CommandLineAction::Run) {
    SayOnPage(("cannot start: " + line.Error).c_str());
    return 2;
  }
  // Nothing may be written beside the packed pictures and sounds, so the
  // game keeps its records in the player's folder, which lives in IndexedDB.
  const std::string folder(host::detail::PageProgramPath);
  chmod(folder.substr(0, folder.rfind('/')).c_str(), 0555);
  setenv("XDG_DATA_HOME", host::detail::PageDataHome, 1);
  line.Settings.ModulePath = host::detail::PageProgramPath;
  // The game reads its faces once, at its start: a deck made from the
  // player's pictures (IndexedDB has filled the records' folder by now)
  // must stand in before.
  TellPageDeck(host::detail::UsePageDeck(folder.substr(0, folder.rfind('/')) + "/Graph"));

  std::string error;
  if (!host::Start(line.Settings, &error)) {
    SayOnPage(("cannot start: " + error).c_str());
    return 1;
  }
  host::WatchGame();  // a recording's header carries the records the game loaded
  ProgramEntry(GetProgramInstance(), nullptr, "", ShowNormal);
  host::Stop();
  OfferNewGame();
  return 0;
}
