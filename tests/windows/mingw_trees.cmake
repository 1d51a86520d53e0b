# Both MinGW trees configured from their presets and built with warnings as errors, and what
# the linker made of them: a GUI executable with the icon, importing system DLLs only.
set(QUORVANE_WINDOWS_TREES ${CMAKE_CURRENT_BINARY_DIR})
set(windows_scripts ${CMAKE_CURRENT_SOURCE_DIR})

foreach(preset mingw-i686 mingw-x64)
  set(tree ${QUORVANE_WINDOWS_TREES}/${preset})
  add_test(NAME windows.${preset}.build
           COMMAND ${windows_scripts}/build-tree ${preset} ${tree}
           WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
  set_tests_properties(windows.${preset}.build PROPERTIES
                       FIXTURES_SETUP ${preset} TIMEOUT 1800 RESOURCE_LOCK mingw_build)
endforeach()

add_test(NAME windows.mingw-i686.executable
         COMMAND ${windows_scripts}/check-executable
                 ${QUORVANE_WINDOWS_TREES}/mingw-i686/quorvane.exe pei-i386)
add_test(NAME windows.mingw-x64.executable
         COMMAND ${windows_scripts}/check-executable
                 ${QUORVANE_WINDOWS_TREES}/mingw-x64/quorvane.exe pei-x86-64)
add_test(NAME windows.mingw-i686.package
         COMMAND ${windows_scripts}/check-package ${QUORVANE_WINDOWS_TREES}/mingw-i686/quorvane.zip)
set_tests_properties(windows.mingw-i686.executable windows.mingw-i686.package
                     PROPERTIES FIXTURES_REQUIRED mingw-i686)
set_tests_properties(windows.mingw-x64.executable PROPERTIES FIXTURES_REQUIRED mingw-x64)
