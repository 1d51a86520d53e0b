# standin_media: MessageBoxA and PlaySoundA on SDL2 (message boxes, audio).
find_package(SDL2 REQUIRED)

add_library(standin_media STATIC
  ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sound_clip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wav_reader.cpp)
target_include_directories(standin_media PUBLIC ${PROJECT_SOURCE_DIR}/src)
find_package(Threads REQUIRED)  # PlaySoundA's loader threads
target_link_libraries(standin_media PUBLIC SDL2::SDL2 PRIVATE Threads::Threads)
quorvane_warnings(standin_media)
