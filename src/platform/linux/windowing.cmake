# standin_windowing: window classes and windows, the message queue, display modes, device
# contexts and pixel formats, GL contexts, all on SDL2.
# win32_standin_main: the start-up code (main calling WinMain), linked whole into programs.
find_package(SDL2 REQUIRED)
find_package(OpenGL REQUIRED)

add_library(standin_windowing STATIC
  ${CMAKE_CURRENT_LIST_DIR}/standin_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/classes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_queue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/default_proc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_modes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_contexts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gl_contexts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_buffers.cpp)
target_include_directories(standin_windowing PUBLIC ${PROJECT_SOURCE_DIR}/src)
# standin_font: a window's device context takes its font selection with it when it dies.
target_link_libraries(standin_windowing PUBLIC SDL2::SDL2 OpenGL::GL standin_font)
quorvane_warnings(standin_windowing)

# An object library, so main() is always linked in rather than picked from an archive.
add_library(win32_standin_main OBJECT ${CMAKE_CURRENT_LIST_DIR}/startup.cpp)
target_link_libraries(win32_standin_main PUBLIC standin_windowing)
quorvane_warnings(win32_standin_main)
