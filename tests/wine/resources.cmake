# Ollendock's resource script, linked into a test program until the program itself exists.
if(WIN32)
  add_executable(resources_wine_tests ${CMAKE_CURRENT_LIST_DIR}/resources_wine_test.cpp
    ${CMAKE_SOURCE_DIR}/resources/ollendock.rc)
  target_link_libraries(resources_wine_tests PRIVATE qm_core qm_win32_testing GTest::gtest GTest::gtest_main)
  qm_test(resources_wine resources_wine_tests LABELS contract)
endif()
