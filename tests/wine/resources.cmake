# Ollendock's resource script, linked into a test program; and the built Ollenset.cpl's resources.
if(WIN32)
  add_executable(resources_wine_tests ${CMAKE_CURRENT_LIST_DIR}/resources_wine_test.cpp
    ${CMAKE_SOURCE_DIR}/resources/ollendock.rc)
  target_link_libraries(resources_wine_tests PRIVATE qm_core qm_win32_testing GTest::gtest GTest::gtest_main)
  if(TARGET Ollenset)
    target_compile_definitions(resources_wine_tests PRIVATE QM_OLLENSET_CPL="$<TARGET_FILE:Ollenset>")
    add_dependencies(resources_wine_tests Ollenset)
  endif()
  qm_test(resources_wine resources_wine_tests LABELS contract)
endif()
