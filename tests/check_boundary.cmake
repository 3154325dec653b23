# Fails when game code includes SDL or reads the wall clock directly: every
# time, picture and sound must go through the platform interface so that the
# headless host can observe and replay them.
file(GLOB_RECURSE sources ${ROOT}/src/app/* ${ROOT}/src/gfx/* ${ROOT}/src/game/* ${ROOT}/src/screens/*)
set(bad "")
foreach(file ${sources})
  file(STRINGS ${file} lines REGEX "#include *[<\"]SDL|SDL_|std::chrono|gettimeofday|clock_gettime|[^a-zA-Z_]time\\(|[^a-zA-Z_]rand\\(|srand\\(")
  if(lines)
    string(APPEND bad "${file}: ${lines}\n")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "Game code reaches past the platform interface:\n${bad}")
endif()
