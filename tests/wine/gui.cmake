# The real settings window under Wine at two device screen sizes, in virtual desktops of their
# own; the screenshots stay in the build folder. It serves "\\.\pipe\QMX0": the qmx0 lock.
if(WIN32 AND TARGET qmxsim)
  add_executable(gui_wine_tests ${CMAKE_CURRENT_LIST_DIR}/gui_wine_test.cpp ${CMAKE_SOURCE_DIR}/resources/ollendock.rc)
  target_link_libraries(gui_wine_tests PRIVATE qm_core qm_win32_testing GTest::gtest)
  add_dependencies(gui_wine_tests qmxsim)
  foreach(size 240x320 480x640)
    add_test(NAME gui_wine_${size} COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/in_desktop.sh ${CMAKE_SOURCE_DIR}/tools/wine-run
      ${size} ${CMAKE_BINARY_DIR}/screenshots/gui-${size} $<TARGET_FILE:gui_wine_tests>
      --qmxsim $<TARGET_FILE:qmxsim> --work ${CMAKE_BINARY_DIR}/screenshots/gui-${size}
      --resources ${CMAKE_SOURCE_DIR}/resources)
    set_tests_properties(gui_wine_${size} PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED wineprefix
      ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX}" RESOURCE_LOCK "qmx0;display" TIMEOUT 300)
  endforeach()
endif()
