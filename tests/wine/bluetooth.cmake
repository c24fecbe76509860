# The paired-device scan against Wine's registry seeded by regedit, and the listener thread fed by
# qmxsim.exe from another process. The listener test serves "\\.\pipe\QMX0": it takes the qmx0 lock.
if(WIN32 AND TARGET qmxsim)
  add_executable(bluetooth_wine_tests ${CMAKE_CURRENT_LIST_DIR}/bluetooth_wine_test.cpp)
  target_link_libraries(bluetooth_wine_tests PRIVATE qm_core qm_win32_testing qm_wine_test_main GTest::gtest)
  add_dependencies(bluetooth_wine_tests qmxsim)
  add_test(NAME bluetooth_wine COMMAND bluetooth_wine_tests --qmxsim $<TARGET_FILE:qmxsim>
    --fixtures ${CMAKE_CURRENT_LIST_DIR}/../fixtures --work ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(bluetooth_wine PROPERTIES LABELS "contract;wine" FIXTURES_REQUIRED wineprefix
    ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX}" RESOURCE_LOCK "qmx0;bluetooth_registry" TIMEOUT 300)
endif()
