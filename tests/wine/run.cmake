# tools/run as a user without a display meets it, in a Wine prefix of its own: the installer, the
# device with its radio on and a paired keyboard, the live driver stand-in; the status page it
# saves and the debug log it prints are checked. It runs alone beside the other end-to-end tests.
if(WIN32 AND TARGET installer AND TARGET qmdrive AND TARGET qmxsim AND TARGET fake_bluetoothapis)
  add_test(NAME tools_run COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/run_check.sh ${CMAKE_SOURCE_DIR}/tools/run
    ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/run-check)
  set_tests_properties(tools_run PROPERTIES LABELS "e2e;wine"
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/run-check/prefix" RESOURCE_LOCK "qmx0;display;bluetooth_registry"
    TIMEOUT 600)
endif()
