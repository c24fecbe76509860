# Ollendock.exe and Ollenset.cpl end to end under Wine, in a 240x320 virtual desktop: the life
# cycle, the run rule, duplicate starts, the driver absent, the radio on at start and during
# shutdown, and the control panel. A stand-in for the system's Bluetooth API reports the radio.
if(WIN32 AND TARGET qmxsim AND TARGET Ollendock AND TARGET Ollenset)
  add_library(fake_bluetoothapis SHARED ${CMAKE_SOURCE_DIR}/platform/win32/testing/fake_radio/fake_bluetoothapis.cpp
    ${CMAKE_SOURCE_DIR}/platform/win32/testing/fake_radio/fake_bluetoothapis.def)
  set_target_properties(fake_bluetoothapis PROPERTIES PREFIX "" OUTPUT_NAME bluetoothapis)
  add_executable(ollendock_e2e_tests ${CMAKE_CURRENT_LIST_DIR}/ollendock_e2e_test.cpp)
  target_link_libraries(ollendock_e2e_tests PRIVATE qm_core qm_win32_testing qm_wine_test_main GTest::gtest)
  add_dependencies(ollendock_e2e_tests qmxsim Ollendock Ollenset fake_bluetoothapis)
  add_test(NAME ollendock_e2e COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/in_desktop.sh ${CMAKE_SOURCE_DIR}/tools/wine-run
    240x320 ${CMAKE_BINARY_DIR}/e2e/ollendock $<TARGET_FILE:ollendock_e2e_tests>
    --qmxsim $<TARGET_FILE:qmxsim> --fixtures ${CMAKE_CURRENT_LIST_DIR}/../fixtures
    --work ${CMAKE_BINARY_DIR}/e2e/ollendock --ollendock $<TARGET_FILE:Ollendock> --ollenset $<TARGET_FILE:Ollenset>
    --fake-radio $<TARGET_FILE:fake_bluetoothapis> --resources ${CMAKE_SOURCE_DIR}/resources)
  set_tests_properties(ollendock_e2e PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED wineprefix
    ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX}" RESOURCE_LOCK "qmx0;display;bluetooth_registry" TIMEOUT 600)
endif()
