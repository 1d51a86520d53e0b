# The browser build: build-web/site/ is the whole page, ready to serve: index.html and page.js,
# the program as quorvane.js and quorvane.wasm, and its music compressed for browsers with the
# list of sounds the page fetches ahead (sounds.json).
set(site ${CMAKE_BINARY_DIR}/site)
add_executable(quorvane win_main.cpp)
target_link_libraries(quorvane PRIVATE quorvane_app quorvane_render quorvane_common
                      win32_standin_main)
set_target_properties(quorvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site} SUFFIX .js)
# GLOBAL_BASE: the program's data starts at 64 KiB, as on Windows, where every value below that
# is an atom, never a pointer (a class name passed to RegisterClassA is told apart so).
# The page's calls that wait (a frame, a box, a sound) are the program's only ways to yield:
# Asyncify must know them to unwind and rewind the calls beneath them.
# The program's GL is the backend's own layer on plain WebGL 1, which enables no extension and
# asks nothing of emscripten's WebGL library but WebGL's own calls: not GLES's errors, nor its
# pools for uniform arrays. The page has no files: it fetches ahead every file the program names.
target_link_options(quorvane PRIVATE
  -sGL_SUPPORT_AUTOMATIC_ENABLE_EXTENSIONS=0 -sGL_SUPPORT_SIMPLE_ENABLE_EXTENSIONS=0
  -sGL_TRACK_ERRORS=0 -sGL_POOL_TEMP_BUFFERS=0 -sFILESYSTEM=0
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=16384
  -sASYNCIFY_IMPORTS=[qv_present_after,qv_show_box,qv_play_sound,qv_play_default_sound]
  -sGLOBAL_BASE=65536 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web -sEXIT_RUNTIME=0 -sINCOMING_MODULE_JS_API=[print,printErr,onAbort]
  "SHELL:--js-library ${QUORVANE_BROWSER_DIR}/library_quorvane.js")
set_property(TARGET quorvane APPEND PROPERTY LINK_DEPENDS ${QUORVANE_BROWSER_DIR}/library_quorvane.js)
quorvane_warnings(quorvane)

# The music as MP3, which every current browser decodes, at a rate that keeps the page small;
# and its first seconds as a file of their own, which a browser decodes in a few milliseconds
# where the whole takes up to a second: the page starts the music from them when the question
# is answered before the whole is ready. Made by the same encoder from the same start, the two
# decode to the same samples but for the head's last frames.
set(music_head_seconds 5)
find_program(QUORVANE_FFMPEG NAMES ffmpeg REQUIRED)
get_filename_component(music_stem "${QUORVANE_MUSIC_NAME}" NAME_WE)
get_filename_component(music_folder "${QUORVANE_MUSIC_NAME}" DIRECTORY)
set(music_site_name "${music_folder}/${music_stem}.mp3")
set(music_head_site_name "${music_folder}/${music_stem}.head.mp3")
set(music_mp3 "${site}/${music_site_name}")
set(music_head_mp3 "${site}/${music_head_site_name}")
add_custom_command(
  OUTPUT "${music_mp3}" "${music_head_mp3}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${site}/${music_folder}"
  COMMAND ${QUORVANE_FFMPEG} -nostdin -loglevel error -y -i "${QUORVANE_MUSIC_FILE}"
          -codec:a libmp3lame -b:a 96k "${music_mp3}"
  COMMAND ${QUORVANE_FFMPEG} -nostdin -loglevel error -y -t ${music_head_seconds}
          -i "${QUORVANE_MUSIC_FILE}" -codec:a libmp3lame -b:a 96k "${music_head_mp3}"
  DEPENDS soundtrack "${QUORVANE_MUSIC_FILE}"
  COMMENT "Compressing the music for browsers"
  VERBATIM)
file(GENERATE OUTPUT ${site}/sounds.json
     CONTENT "{\"${QUORVANE_MUSIC_NAME}\": {\"file\": \"${music_site_name}\", \"head\": \"${music_head_site_name}\"}}\n")
add_custom_command(
  OUTPUT ${site}/index.html ${site}/page.js
  COMMAND ${CMAKE_COMMAND} -E copy ${QUORVANE_BROWSER_DIR}/site/index.html
          ${QUORVANE_BROWSER_DIR}/site/page.js ${site}
  DEPENDS ${QUORVANE_BROWSER_DIR}/site/index.html ${QUORVANE_BROWSER_DIR}/site/page.js
  COMMENT "Copying the page"
  VERBATIM)
add_custom_target(site ALL DEPENDS quorvane "${music_mp3}" ${site}/index.html ${site}/page.js)
