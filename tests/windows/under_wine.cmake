# The 64-bit program and the conformance tests under wine64 on Xvfb. One fresh prefix per
# test run, made once and shared; the tests take turns with it.
set(prefix ${QUORVANE_WINDOWS_TREES}/wineprefix)
set(x64_tree ${QUORVANE_WINDOWS_TREES}/mingw-x64)

add_test(NAME windows.wine.prefix COMMAND ${windows_scripts}/wine-prefix init ${prefix})
set_tests_properties(windows.wine.prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 600
                     RESOURCE_LOCK wineprefix)
add_test(NAME windows.wine.teardown COMMAND ${windows_scripts}/wine-prefix stop ${prefix})
set_tests_properties(windows.wine.teardown PROPERTIES FIXTURES_CLEANUP wine
                     RESOURCE_LOCK wineprefix)

# answer to the start-up question, Xvfb screen, what must follow
foreach(run "windowed;n;1024x768x24" "fullscreen;y;640x480x16" "fallback;y;1024x768x24")
  list(GET run 0 name)
  list(GET run 1 answer)
  list(GET run 2 screen)
  add_test(NAME windows.wine.demo.${name}
           COMMAND ${QUORVANE_WITH_XVFB} --screen ${screen} --
                   ${QUORVANE_E2E_PYTHON} ${windows_scripts}/wine_demo.py ${name} ${answer}
                   ${prefix} ${x64_tree})
  # Apart from the other display tests: a starved X server or Wine loses keys and frames.
  set_tests_properties(windows.wine.demo.${name} PROPERTIES
                       FIXTURES_REQUIRED "wine;mingw-x64" RESOURCE_LOCK wineprefix RUN_SERIAL TRUE
                       ENVIRONMENT "PYTHONPATH=${QUORVANE_E2E_LIB}" TIMEOUT 300)
endforeach()

# Windows keeps a window within the screen, so the screen is larger than the 640x480 asked.
add_test(NAME windows.wine.conformance
         COMMAND ${QUORVANE_WITH_XVFB} --screen 1024x768x24 -- ${windows_scripts}/wine-conformance ${prefix}
                 ${x64_tree})
set_tests_properties(windows.wine.conformance PROPERTIES SKIP_RETURN_CODE 77
                     FIXTURES_REQUIRED "wine;mingw-x64" RESOURCE_LOCK wineprefix RUN_SERIAL TRUE
                     TIMEOUT 300)
