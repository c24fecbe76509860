# The installer's access rules, read from access lists as Windows enforces them (Wine enforces
# none and keeps no folder's list, so they cannot be tried there as a user).
if(WIN32)
  add_executable(access_rules_wine_tests ${CMAKE_CURRENT_LIST_DIR}/access_rules_wine_test.cpp)
  target_link_libraries(access_rules_wine_tests PRIVATE qm_access_rules GTest::gtest GTest::gtest_main)
  qm_test(access_rules_wine access_rules_wine_tests LABELS contract)
endif()
