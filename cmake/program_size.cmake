# qm_size_limit(TARGET BYTES): every link of a shipped program checks its size as the installer
# ships it, stripped, and fails the build when it is over its limit, so that no change grows it
# unnoticed. The installer ships the 64-bit build; the 32-bit build, which is linked only to keep
# that link clean, prints its sizes (its runtime brings DWARF unwind tables and more relocations
# of its own) without being held to the shipped program's limit.
function(qm_size_limit target bytes)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(limit ${bytes})
  else()
    set(limit 0)
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -DSTRIP=${CMAKE_STRIP} -DLIMIT=${limit}
      -P ${CMAKE_SOURCE_DIR}/cmake/check_size.cmake
    VERBATIM)
endfunction()
