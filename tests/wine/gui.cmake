# The settings window's parts that need a program of its own (the mouse page made current, the
# soft-key bar, the help view's protocol, the decoder's key colours) under Wine at two device
# screen sizes, in virtual desktops of their own; the screenshots stay in the build folder.
if(WIN32 AND TARGET qmxsim)
  add_executable(gui_wine_tests ${CMAKE_CURRENT_LIST_DIR}/gui_wine_test.cpp ${CMAKE_SOURCE_DIR}/resources/ollendock.rc)
  target_link_libraries(gui_wine_tests PRIVATE qm_core qm_win32_testing qm_wine_test_main GTest::gtest)
  add_dependencies(gui_wine_tests qmxsim)
  qm_translations(gui_wine_tests)
  foreach(size 240x320 480x640)
    add_test(NAME gui_wine_${size} COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/in_desktop.sh ${CMAKE_SOURCE_DIR}/tools/wine-run
      ${size} ${CMAKE_BINARY_DIR}/screenshots/gui-${size} $<TARGET_FILE:gui_wine_tests>
      --qmxsim $<TARGET_FILE:qmxsim> --work ${CMAKE_BINARY_DIR}/screenshots/gui-${size}
      --resources ${CMAKE_SOURCE_DIR}/resources)
    set_tests_properties(gui_wine_${size} PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED wineprefix
      ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX}" RESOURCE_LOCK "qmx0;display" TIMEOUT 300)
  endforeach()
  # The window in German and Russian, chosen by the platform's language as a user's system has it,
  # and in the pseudo-language, chosen for the test alone: every text in its place, photographed.
  qm_language_tests(gui $<TARGET_FILE:gui_wine_tests> "qmx0;display" --qmxsim $<TARGET_FILE:qmxsim>
    --resources ${CMAKE_SOURCE_DIR}/resources
    --gtest_filter=SettingsWindowWine.EveryTextFitsItsPlace:SettingsWindowWine.MessageBoxWithinTheScreen)
endif()
# The real Ollendock.exe's settings window at the same two sizes, driven from another process (then
# against a driver stand-in that reports as the driver does, with a paired keyboard in the stack),
# on three desks, where it shows a device's screen (named after the desk's size) in a frame, and on
# two scaled desks (150 % and 200 %, in prefixes of their own whose dots per inch are set), where
# it draws that device screen larger (named after the drawn size and the device it enlarges).
if(WIN32 AND TARGET qmxsim AND TARGET Ollendock)
  add_executable(window_e2e_tests ${CMAKE_CURRENT_LIST_DIR}/window_e2e_test.cpp)
  target_link_libraries(window_e2e_tests PRIVATE qm_core qm_win32_testing qm_wine_test_main GTest::gtest)
  add_dependencies(window_e2e_tests qmxsim Ollendock)
  foreach(run 240x320 480x640 1280x800:480x640 1920x1080:480x640 1366x768:480x640 1920x1200:720x960:480x640@150:144
      2560x1600:960x1280:480x640@200:192)
    string(REPLACE ":" ";" parts ${run})
    list(GET parts 0 size)
    set(prefix ${QM_WINEPREFIX})
    set(fixture wineprefix)
    list(LENGTH parts count)
    if(count GREATER 1)
      list(GET parts 1 device)
      # A desk shows a device screen: what the window does there is the device sizes' to check.
      set(options --device ${device} --gtest_filter=WindowE2E.Desk*)
    else()
      set(options --gtest_filter=-WindowE2E.Desk*)
    endif()
    if(count GREATER 2)
      list(GET parts 2 scaled)
      list(GET parts 3 dpi)
      list(APPEND options --scaled ${scaled})
      set(prefix ${QM_WINEPREFIX_${dpi}})
      set(fixture wineprefix${dpi})
    endif()
    add_test(NAME window_e2e_${size} COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/in_desktop.sh ${CMAKE_SOURCE_DIR}/tools/wine-run
      ${size} ${CMAKE_BINARY_DIR}/screenshots/window-${size} $<TARGET_FILE:window_e2e_tests>
      --qmxsim $<TARGET_FILE:qmxsim> --work ${CMAKE_BINARY_DIR}/screenshots/window-${size}
      --ollendock $<TARGET_FILE:Ollendock> --resources ${CMAKE_SOURCE_DIR}/resources ${options})
    set_tests_properties(window_e2e_${size} PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED ${fixture}
      ENVIRONMENT "WINEPREFIX=${prefix}" RESOURCE_LOCK "qmx0;display;bluetooth_registry" TIMEOUT 300)
  endforeach()
  # The real program on a German system: every page by its tab, in German from its translation.
  add_test(NAME window_e2e_de COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/in_desktop.sh ${CMAKE_SOURCE_DIR}/tools/wine-run
    240x320 ${CMAKE_BINARY_DIR}/screenshots/window-de $<TARGET_FILE:window_e2e_tests>
    --qmxsim $<TARGET_FILE:qmxsim> --work ${CMAKE_BINARY_DIR}/screenshots/window-de
    --ollendock $<TARGET_FILE:Ollendock> --resources ${CMAKE_SOURCE_DIR}/resources
    --gtest_filter=WindowE2E.EveryPageByItsTab)
  set_tests_properties(window_e2e_de PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED wineprefix
    ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX};LC_ALL=de_DE.UTF-8" RESOURCE_LOCK "qmx0;display;bluetooth_registry"
    TIMEOUT 300)
endif()
