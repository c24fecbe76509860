# The driver link on the Win32 backend against qmxsim.exe, and qmxsim's robustness. Every test
# that serves or needs the absence of "\\.\pipe\QMX0" takes the qmx0 lock.
if(WIN32)
  add_executable(driver_link_wine_tests ${CMAKE_CURRENT_LIST_DIR}/driver_link_wine_test.cpp)
  target_link_libraries(driver_link_wine_tests PRIVATE qm_core qm_win32_testing qm_wine_test_main GTest::gtest)
  add_dependencies(driver_link_wine_tests qmxsim)
  add_test(NAME driver_link_wine COMMAND driver_link_wine_tests --qmxsim $<TARGET_FILE:qmxsim>
    --work ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(driver_link_wine PROPERTIES LABELS "contract;wine" FIXTURES_REQUIRED wineprefix
    ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX}" RESOURCE_LOCK qmx0 TIMEOUT 300)
endif()

if(WIN32)
  # The usage text names every command.
  add_test(NAME qmxsim_help COMMAND qmxsim --help)
  set_tests_properties(qmxsim_help PROPERTIES LABELS "wine" FIXTURES_REQUIRED wineprefix
    ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX}" TIMEOUT 60
    PASS_REGULAR_EXPRESSION "serve --log <file> \\[--refuse <value>\\].*post kb\\|mouse\\|bluetooth <wParam>.*refuse <value>\\|off.*qmxsim stop")
endif()
