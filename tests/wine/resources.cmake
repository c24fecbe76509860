# Ollendock's resource script, linked into a test program until the program itself exists.
if(WIN32)
  # The resource compiler reports no dependencies: the files the script takes in are named here,
  # so that a changed icon or manifest is built in.
  file(GLOB qm_rc_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/icons/*.ico
    ${CMAKE_SOURCE_DIR}/resources/images/*.jpg ${CMAKE_SOURCE_DIR}/resources/*.manifest ${CMAKE_SOURCE_DIR}/resources/*.h
    ${CMAKE_SOURCE_DIR}/resources/soft_keys.rc ${CMAKE_SOURCE_DIR}/resources/strings/en.rc)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/ollendock.rc PROPERTIES OBJECT_DEPENDS "${qm_rc_inputs}")
  add_executable(resources_wine_tests ${CMAKE_CURRENT_LIST_DIR}/resources_wine_test.cpp
    ${CMAKE_SOURCE_DIR}/resources/ollendock.rc)
  target_link_libraries(resources_wine_tests PRIVATE qm_core qm_win32_testing GTest::gtest GTest::gtest_main)
  qm_test(resources_wine resources_wine_tests LABELS contract)
endif()
