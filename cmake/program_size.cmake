# qm_size_limit(TARGET BYTES): every link of a shipped program checks its size as the installer
# ships it, stripped, and fails the build when it is over its limit, so that no change grows it
# unnoticed.
function(qm_size_limit target bytes)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -DSTRIP=${CMAKE_STRIP} -DLIMIT=${bytes}
      -P ${CMAKE_SOURCE_DIR}/cmake/check_size.cmake
    VERBATIM)
endfunction()
