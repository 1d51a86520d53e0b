# The Windows program: quorvane.exe, a GUI executable carrying the MAINICON resource, and
# `dist`, the zip a user unpacks and runs (quorvane.exe beside Data/ with the music).
#
# The C and C++ runtimes of GCC are linked in statically, so the import table names only
# DLLs every Windows has (KERNEL32, USER32, GDI32, OPENGL32, GLU32, WINMM, msvcrt, and ADVAPI32
# for the stack protector).
add_executable(quorvane WIN32 win_main.cpp ${PROJECT_SOURCE_DIR}/resources/quorvane.rc)
target_link_libraries(quorvane PRIVATE quorvane_app quorvane_render quorvane_common
                      opengl32 glu32 gdi32 winmm)
target_link_options(quorvane PRIVATE -static-libgcc -static-libstdc++ -static)
set_target_properties(quorvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
quorvane_warnings(quorvane)

# The shipped build is measured against 64 KiB: drop unused code and the symbol table.
set(size_flags -ffunction-sections -fdata-sections)
foreach(target quorvane quorvane_app quorvane_render quorvane_common)
  target_compile_options(${target} PRIVATE $<$<CONFIG:MinSizeRel>:${size_flags}>)
endforeach()
target_link_options(quorvane PRIVATE $<$<CONFIG:MinSizeRel>:-Wl,--gc-sections -s>)

# The zip is the same from every build of the same source: strip-nondeterminism puts its entries
# in name order, dates them the build's time (see cmake/reproducible.cmake) in UTC and gives
# them modes that do not depend on the umask.
find_program(QUORVANE_STRIP_NONDETERMINISM strip-nondeterminism REQUIRED)
set(zip ${CMAKE_BINARY_DIR}/quorvane.zip)
add_custom_command(
  OUTPUT ${zip}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip quorvane.exe Data
  COMMAND ${QUORVANE_STRIP_NONDETERMINISM} --timestamp ${QUORVANE_SOURCE_DATE_EPOCH} ${zip}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS quorvane soundtrack "${QUORVANE_MUSIC_FILE}"
  COMMENT "Packing quorvane.zip"
  VERBATIM)
add_custom_target(dist DEPENDS ${zip})
