# What each build compiles of the host, by name: the top CMakeLists.txt
# builds the desktop's from the shared list and desktop/, web/web.cmake the
# page's from the shared list and web/. A new file goes in the list of its
# folder.

# The contract (platform.h) and what every host shares.
set(QUILLMOTH_PLATFORM_SHARED_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_layouts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host.cpp
  ${CMAKE_CURRENT_LIST_DIR}/messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/notices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recorder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sound_requests.cpp)

# The desktop: SDL window and sound, the headless backend, PNG files, shots,
# the icon, one copy per user, the data check, replays and the player's own
# pictures.
set(QUILLMOTH_PLATFORM_DESKTOP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/desktop/backend_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/data_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/headless_backend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/icon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/picture_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/player_faces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/png_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/replay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/screenshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/sdl_backend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/single_instance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/sound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/window_picture.cpp)

# The page: its backend, the desktop services it does without, and faces
# from the player's pictures.
set(QUILLMOTH_PLATFORM_WEB_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/web/backend_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web/page_faces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web/web_backend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web/web_services.cpp)

# Each program's entry.
set(QUILLMOTH_DESKTOP_MAIN ${CMAKE_CURRENT_LIST_DIR}/desktop/host_main.cpp)
set(QUILLMOTH_WEB_MAIN ${CMAKE_CURRENT_LIST_DIR}/web/web_main.cpp)
# The watch the entries install reads the game's own state, so it is built
# into the programs (and the tests) beside their entries, never into the
# host's library: the host never calls the game.
set(QUILLMOTH_GAME_WATCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/watch/game_watch.cpp)
