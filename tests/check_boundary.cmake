# Fails when game code includes SDL or reads the wall clock directly: every
# time, picture and sound must go through the platform interface so that the
# headless host can observe and replay them. Nor may it reach the host's own
# headers or the browser's, or use the unbounded string calls (HACKING names
# the replacements).
file(GLOB_RECURSE sources ${ROOT}/src/app/* ${ROOT}/src/gfx/* ${ROOT}/src/game/* ${ROOT}/src/screens/*)
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
