# standin_sound_clip: reading WAV files into the one clip format, and the default sound; shared
# by the desktop's sound service and the capture's soundtrack.
# standin_media: MessageBoxA and PlaySoundA on SDL2 (message boxes, audio).
find_package(SDL2 REQUIRED)

add_library(standin_sound_clip STATIC
  ${CMAKE_CURRENT_LIST_DIR}/sound_clip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wav_reader.cpp)
target_include_directories(standin_sound_clip PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(standin_sound_clip PUBLIC SDL2::SDL2)
quorvane_warnings(standin_sound_clip)

add_library(standin_media STATIC
  ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sound.cpp)
target_include_directories(standin_media PUBLIC ${PROJECT_SOURCE_DIR}/src)
find_package(Threads REQUIRED)  # PlaySoundA's loader threads
target_link_libraries(standin_media PUBLIC standin_sound_clip SDL2::SDL2 PRIVATE Threads::Threads)
quorvane_warnings(standin_media)
