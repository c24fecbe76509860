# The settings store against Wine's registry, checked with reg.exe.
if(WIN32)
  add_executable(settings_wine_tests ${CMAKE_CURRENT_LIST_DIR}/settings_wine_test.cpp)
  target_link_libraries(settings_wine_tests PRIVATE qm_core qm_win32_testing GTest::gtest GTest::gtest_main)
  qm_test(settings_wine settings_wine_tests LABELS contract)
endif()
