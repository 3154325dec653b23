# Fails when game code includes SDL or reads the wall clock directly: every
# time, picture and sound must go through the platform interface so that the
# headless host can observe and replay them. Nor may it reach the host's own
# headers or the browser's, or use the unbounded string calls (HACKING names
# the replacements).
file(GLOB_RECURSE sources ${ROOT}/src/app/* ${ROOT}/src/gfx/* ${ROOT}/src/game/* ${ROOT}/src/screens/*
     ${ROOT}/src/services/*)
set(bad "")
foreach(file ${sources})
  file(STRINGS ${file} lines REGEX "#include *[<\"]SDL|SDL_|std::chrono|gettimeofday|clock_gettime|[^a-zA-Z_]time\\(|[^a-zA-Z_]rand\\(|srand\\(|platform/host\\.h|platform/backend\\.h|emscripten\\.h|[^a-zA-Z_]sprintf\\(|[^a-zA-Z_]strcpy\\(|[^a-zA-Z_]strcat\\(")
  if(lines)
    string(APPEND bad "${file}: ${lines}\n")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "Game code reaches past the platform interface:\n${bad}")
endif()

# The game's folders stand in layers, and each includes only what lies below
# it: app/ (the loop, which calls the screens) over screens/ and game/, over
# services/ (what every screen shares), over gfx/. A folder that included one
# above it would close a circle: the loop's state, say, reached from a screen
# the loop calls.
set(layers
  "screens|game:app"
  "services:app|screens|game"
  "gfx:app|screens|game|services")
foreach(layer ${layers})
  string(REPLACE ":" ";" parts "${layer}")
  list(GET parts 0 folders)
  list(GET parts 1 above)
  string(REPLACE "|" ";" folders "${folders}")
  foreach(folder ${folders})
    file(GLOB_RECURSE files ${ROOT}/src/${folder}/*)
    foreach(file ${files})
      file(STRINGS ${file} lines REGEX "#include *\"(${above})/")
      if(lines)
        string(APPEND bad "${file}: ${lines}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Game code includes a folder above its own:\n${bad}")
endif()

# The face maker serves the desktop and the web page alike: pixels in, bytes
# out, with no platform, no files and no SDL of its own.
file(GLOB_RECURSE sources ${ROOT}/src/pictures/*)
foreach(file ${sources})
  file(STRINGS ${file} lines REGEX "#include *[<\"](SDL|platform/|emscripten|fstream|cstdio|stdio)|SDL_|fopen|std::chrono")
  if(lines)
    string(APPEND bad "${file}: ${lines}\n")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "The face maker reaches past pixels and bytes:\n${bad}")
endif()
