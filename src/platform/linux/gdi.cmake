# Fonts, glyph lists and the clock. Neither library needs SDL, so renderer tests link them
# alone. standin_font issues GL calls but does not link GL: the program (or a test) picks the
# GL it runs with.
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)

add_library(standin_font STATIC
  ${CMAKE_CURRENT_LIST_DIR}/font_cache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_objects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glyph_lists.cpp)
target_include_directories(standin_font PUBLIC ${PROJECT_SOURCE_DIR}/src)
find_package(Threads REQUIRED)
target_link_libraries(standin_font PRIVATE Freetype::Freetype Fontconfig::Fontconfig Threads::Threads)
quorvane_warnings(standin_font)

add_library(standin_clock STATIC ${CMAKE_CURRENT_LIST_DIR}/clock.cpp)
target_include_directories(standin_clock PUBLIC ${PROJECT_SOURCE_DIR}/src)
quorvane_warnings(standin_clock)
