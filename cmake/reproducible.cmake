# What makes two builds of the same source give the same bytes, whatever folder they are made
# in and whenever: no build or source path inside a program, no clock reading in a file.
#
# QUORVANE_SOURCE_DATE_EPOCH is the time the build's files carry where a format wants one (the
# zips, the package): SOURCE_DATE_EPOCH from the environment when the tree is configured, as
# reproducible builds name it, else the time of the last commit, else, outside a git checkout
# (a source archive), the time CMakeLists.txt carries, which is the commit's there.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(QUORVANE_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE QUORVANE_SOURCE_DATE_EPOCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE git_result ERROR_QUIET)
  if(NOT git_result EQUAL 0)
    file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt QUORVANE_SOURCE_DATE_EPOCH "%s" UTC)
  endif()
endif()
if(NOT QUORVANE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970: '${QUORVANE_SOURCE_DATE_EPOCH}'")
endif()

# Debug information and __FILE__ name the folders relative to the source and the build tree.
# The build tree's map comes last so that it wins where the build tree lies inside the source.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)

# A Windows program's header has a link time in it; GNU ld writes none when asked.
if(WIN32)
  add_link_options(-Wl,--no-insert-timestamp)
endif()
