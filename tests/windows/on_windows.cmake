# Built for Windows: GoogleTest from the sources Debian ships, and the stand-in's conformance
# tests compiled against the real Win32, so under Wine the two implementations must agree.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Its one use of std::mutex, which the win32 thread model of MinGW lacks, is replaced.
target_compile_options(gtest PUBLIC -include ${CMAKE_CURRENT_SOURCE_DIR}/gtest_notification.h)

file(GLOB conformance_sources CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/tests/platform/core/conformance/*.cpp)
if(conformance_sources)
  add_executable(conformance_tests ${conformance_sources})
  target_link_libraries(conformance_tests PRIVATE GTest::gtest_main user32 gdi32 opengl32 glu32
                        winmm)
  target_include_directories(conformance_tests PRIVATE ${PROJECT_SOURCE_DIR}/src
                             ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tests/platform)
  target_link_options(conformance_tests PRIVATE -static-libgcc -static-libstdc++ -static)
  set_target_properties(conformance_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  quorvane_warnings(conformance_tests)
endif()
