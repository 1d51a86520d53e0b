# Hardened programs.
#
# Linux: Debian's own flags, from dpkg-buildflags with every hardening feature on, as Debian
# builds its packages: fortified string and memory functions, the stack protector, format
# string checks, full RELRO with BIND_NOW, and position-independent executables (GCC's default
# here). Optimisation and debug information stay the build type's (the presets' RelWithDebInfo
# is dpkg's -g -O2). A Debug build, unoptimised, cannot be fortified, and an AddressSanitizer
# build checks what fortify would and does not mix with it: both keep their own flags.
#
# Windows: ASLR (DYNAMIC_BASE, and HIGH_ENTROPY_VA for 64 bits) and DEP (NX_COMPAT), named
# rather than left to the linker's defaults, which older binutils did not set; the stack
# protector and fortified functions. The protector's runtime (libssp, linked in statically)
# costs about 1 KiB and imports ADVAPI32 for its random canary.
#
# Included before reproducible.cmake, whose path maps must come after dpkg-buildflags' own.
if(WIN32)
  add_compile_options(-fstack-protector-strong -D_FORTIFY_SOURCE=2)
  add_link_options(-fstack-protector-strong -Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  endif()
elseif(NOT EMSCRIPTEN AND NOT QUORVANE_SANITIZE AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  find_program(QUORVANE_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(variable CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${QUORVANE_DPKG_BUILDFLAGS} --get ${variable}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(debian_${variable} UNIX_COMMAND "${flags}")
    list(FILTER debian_${variable} EXCLUDE REGEX "^-(O.*|g)$")
  endforeach()
  add_compile_options(${debian_CPPFLAGS} "$<$<COMPILE_LANGUAGE:C>:${debian_CFLAGS}>"
                      "$<$<COMPILE_LANGUAGE:CXX>:${debian_CXXFLAGS}>")
  add_link_options(${debian_LDFLAGS})
endif()
