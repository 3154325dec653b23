# Fails with `complaint` and every offending line when a file below any of
# the src/ folders named after the regex has a line that matches it.
function(forbid complaint regex)
  set(bad "")
  foreach(folder ${ARGN})
    file(GLOB_RECURSE files ${ROOT}/src/${folder}/*)
    foreach(file ${files})
      file(STRINGS ${file} lines REGEX "${regex}")
      if(lines)
        string(APPEND bad "${file}: ${lines}\n")
      endif()
    endforeach()
  endforeach()
  if(bad)
    message(FATAL_ERROR "${complaint}:\n${bad}")
  endif()
endfunction()

# Fails when game code includes SDL or reads the wall clock directly: every
# time, picture and sound must go through the platform interface so that the
# headless host can observe and replay them. Nor may it reach the host's own
# headers or the browser's, or use the unbounded string calls (HACKING names
# the replacements).
forbid("Game code reaches past the platform interface"
  "#include *[<\"]SDL|SDL_|std::chrono|gettimeofday|clock_gettime|[^a-zA-Z_]time\\(|[^a-zA-Z_]rand\\(|srand\\(|platform/host\\.h|platform/backend\\.h|emscripten\\.h|[^a-zA-Z_]sprintf\\(|[^a-zA-Z_]strcpy\\(|[^a-zA-Z_]strcat\\("
  app gfx game screens services)

# The game's folders stand in layers, and each includes only what lies below
# it: app/ (the loop, which calls the screens) over screens/ and game/, over
# services/ (what every screen shares), over gfx/. A folder that included one
# above it would close a circle: the loop's state, say, reached from a screen
# the loop calls.
set(above "Game code includes a folder above its own")
forbid("${above}" "#include *\"app/" screens game)
forbid("${above}" "#include *\"(app|screens|game)/" services)
forbid("${above}" "#include *\"(app|screens|game|services)/" gfx)

# The face maker serves the desktop and the web page alike: pixels in, bytes
# out, with no platform, no files and no SDL of its own.
forbid("The face maker reaches past pixels and bytes"
  "#include *[<\"](SDL|platform/|emscripten|fstream|cstdio|stdio)|SDL_|fopen|std::chrono"
  pictures)
