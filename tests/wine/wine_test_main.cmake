# The main the Wine test programs share (wine_test_main.cpp), built once; each program links it
# and declares its options in a `wineSuite` of its own.
if(WIN32)
  add_library(qm_wine_test_main OBJECT ${CMAKE_CURRENT_LIST_DIR}/wine_test_main.cpp)
  target_link_libraries(qm_wine_test_main PRIVATE qm_platform GTest::gtest)
endif()
