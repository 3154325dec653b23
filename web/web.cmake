# The browser build (included from the top CMakeLists.txt under emcmake): the
# game and the host's shared parts compiled to WebAssembly, with
# src/platform/web/ in place of src/platform/desktop/, packed into a static
# site whose index.html lies at the top of QUILLMOTH_WEB_SITE. scripts/web.sh
# runs it.
#
# The pictures, sounds and icons are made by the asset generator, a native
# program: QUILLMOTH_WEB_ASSETS names the folder where a native build put
# Graph/, Sound/ and icons/.

set(QUILLMOTH_WEB_ASSETS "" CACHE PATH "Folder holding Graph/, Sound/ and icons/ from a native build")
set(QUILLMOTH_WEB_SITE "${CMAKE_BINARY_DIR}/site" CACHE PATH "Folder the web page is put in")
foreach(folder Graph Sound icons)
  if(NOT IS_DIRECTORY "${QUILLMOTH_WEB_ASSETS}/${folder}")
    message(FATAL_ERROR "QUILLMOTH_WEB_ASSETS (${QUILLMOTH_WEB_ASSETS}) has no ${folder}/: "
                        "build the native quillmoth_assets target first (scripts/web.sh does)")
  endif()
endforeach()

# What every host shares, and src/platform/web/ in place of the desktop's
# folder (SDL, libpng, sockets, the data check and replays).
include(src/platform/sources.cmake)
add_library(quillmoth_platform STATIC
  ${QUILLMOTH_PLATFORM_SHARED_SOURCES} ${QUILLMOTH_PLATFORM_WEB_SOURCES})
target_include_directories(quillmoth_platform PUBLIC src)
# Faces from the player's pictures, made as the desktop makes them.
target_link_libraries(quillmoth_platform PUBLIC quillmoth_pictures)
target_compile_definitions(quillmoth_platform PRIVATE QUILLMOTH_VERSION="${PROJECT_VERSION}")

add_executable(quillmoth ${QUILLMOTH_WEB_MAIN} ${QUILLMOTH_GAME_WATCH_SOURCES})
# The game calls the host, never the other way round.
target_link_libraries(quillmoth PRIVATE quillmoth_game quillmoth_platform)
set_target_properties(quillmoth PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${QUILLMOTH_WEB_SITE}")
set(QUILLMOTH_WEB_JS_LIBRARY "${CMAKE_CURRENT_SOURCE_DIR}/web/host_library.js")
set(QUILLMOTH_WEB_PRE_JS "${CMAKE_CURRENT_SOURCE_DIR}/web/storage.js")
target_link_options(quillmoth PRIVATE
  # The game's loop blocks and sleeps; ASYNCIFY lets each sleep give the
  # browser its turn. Only what lies between main and the two imports that
  # wait (the frame's pause, web/host_library.js, and the flush of a save)
  # is rewritten to unwind, not everything that calls through a pointer:
  # the program is 40% smaller, and its code runs as written. The one call
  # through a pointer on the way, to the backend's Sleep, sits in main once
  # the optimizer has folded the loop into it; should that change, the
  # page stops at its first pause, saying so, rather than run wrong.
  -sASYNCIFY
  -sASYNCIFY_IMPORTS=quillmoth_page_pause
  -sASYNCIFY_IGNORE_INDIRECT
  -sASYNCIFY_ADD=main
  -sENVIRONMENT=web
  -lidbfs.js
  # What web/page.js calls: the faces made from the player's pictures
  # (src/platform/web/page_faces.cpp), and the memory their pixels go in.
  "-sEXPORTED_FUNCTIONS=_main,_malloc,_free,_quillmoth_faces_begin,_quillmoth_faces_add,_quillmoth_faces_end,_quillmoth_faces_forget"
  # The pictures are packed compressed (less than half the bytes) and
  # unpacked as the game reads them.
  -sLZ4
  "--js-library=${QUILLMOTH_WEB_JS_LIBRARY}"
  "--pre-js=${QUILLMOTH_WEB_PRE_JS}"
  "--preload-file=${QUILLMOTH_WEB_ASSETS}/Graph@/quillmoth/Graph"
  "--preload-file=${QUILLMOTH_WEB_ASSETS}/Sound@/quillmoth/Sound")
# New pictures or sounds make a new package.
file(GLOB QUILLMOTH_WEB_DATA "${QUILLMOTH_WEB_ASSETS}/Graph/*" "${QUILLMOTH_WEB_ASSETS}/Sound/*")
set_property(TARGET quillmoth APPEND PROPERTY LINK_DEPENDS
  "${QUILLMOTH_WEB_JS_LIBRARY}" "${QUILLMOTH_WEB_PRE_JS}" ${QUILLMOTH_WEB_DATA})

# The page around the program. Re-configured whenever one of them changes.
foreach(page index.html page.js manifest.webmanifest service-worker.js)
  configure_file(web/${page} "${QUILLMOTH_WEB_SITE}/${page}" @ONLY)
endforeach()
configure_file(LICENSE "${QUILLMOTH_WEB_SITE}/LICENSE.txt" COPYONLY)
foreach(size 64 256)
  configure_file("${QUILLMOTH_WEB_ASSETS}/icons/${size}x${size}.png"
                 "${QUILLMOTH_WEB_SITE}/icons/${size}x${size}.png" COPYONLY)
endforeach()
