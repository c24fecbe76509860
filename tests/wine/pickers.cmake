# The pickers under Wine at two device screen sizes and on a desk, opened from the real settings
# window; the misbehaving control-panel libraries they must survive are built here.
if(WIN32 AND TARGET Ollenset)
  set(QM_HOSTILE_DIR ${CMAKE_BINARY_DIR}/hostile_cpl)
  set(QM_HOSTILE_TARGETS)
  set(mode 1)
  foreach(name hostile_name hostile_count hostile_init hostile_negative)
    add_library(${name} SHARED ${CMAKE_SOURCE_DIR}/platform/win32/testing/hostile_cpl/hostile_cpl.cpp
      ${CMAKE_SOURCE_DIR}/platform/win32/testing/hostile_cpl/hostile_cpl.def)
    target_compile_definitions(${name} PRIVATE QM_HOSTILE=${mode})
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".cpl" LIBRARY_OUTPUT_DIRECTORY ${QM_HOSTILE_DIR}
      RUNTIME_OUTPUT_DIRECTORY ${QM_HOSTILE_DIR})
    list(APPEND QM_HOSTILE_TARGETS ${name})
    math(EXPR mode "${mode} + 1")
  endforeach()
  add_executable(pickers_wine_tests ${CMAKE_CURRENT_LIST_DIR}/pickers_wine_test.cpp ${CMAKE_SOURCE_DIR}/resources/ollendock.rc)
  target_link_libraries(pickers_wine_tests PRIVATE qm_core qm_win32_testing qm_wine_test_main GTest::gtest)
  add_dependencies(pickers_wine_tests Ollenset ${QM_HOSTILE_TARGETS})
  qm_translations(pickers_wine_tests)
  # On a desk the pickers open over the framed window's device screen; on a scaled desk (150 %,
  # 200 %, in the prefixes whose dots per inch are set) over the device screen drawn larger.
  foreach(run 240x320 480x640 1280x800:480x640 1920x1200:720x960:144 2560x1600:960x1280:192)
    string(REPLACE ":" ";" parts ${run})
    list(GET parts 0 size)
    set(options)
    set(prefix ${QM_WINEPREFIX})
    set(fixture wineprefix)
    if(run MATCHES ":")
      list(GET parts 1 device)
      set(options --device ${device})
    endif()
    list(LENGTH parts count)
    if(count GREATER 2)
      list(GET parts 2 dpi)
      set(prefix ${QM_WINEPREFIX_${dpi}})
      set(fixture wineprefix${dpi})
    endif()
    add_test(NAME pickers_wine_${size} COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/in_desktop.sh ${CMAKE_SOURCE_DIR}/tools/wine-run
      ${size} ${CMAKE_BINARY_DIR}/screenshots/pickers-${size} $<TARGET_FILE:pickers_wine_tests>
      --qmxsim none --work ${CMAKE_BINARY_DIR}/screenshots/pickers-${size} --resources ${CMAKE_SOURCE_DIR}/resources
      --ollenset $<TARGET_FILE:Ollenset> --hostile ${QM_HOSTILE_DIR} ${options})
    set_tests_properties(pickers_wine_${size} PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED ${fixture}
      ENVIRONMENT "WINEPREFIX=${prefix}" RESOURCE_LOCK "display" TIMEOUT 300)
  endforeach()
  # On a German and a Russian system, and in the pseudo-language: both pickers photographed, and
  # the applet's name and description in the system's control panel and in the applet picker.
  qm_language_tests(pickers $<TARGET_FILE:pickers_wine_tests> display --qmxsim none
    --resources ${CMAKE_SOURCE_DIR}/resources --ollenset $<TARGET_FILE:Ollenset> --hostile ${QM_HOSTILE_DIR}
    --gtest_filter=PickersWine.ControlPanelNamesTheAppletInTheUsersLanguage:PickersWine.AppletPickerOverTheSystemFolder:PickersWine.ProgramPickerOverAFolderTree)
endif()
