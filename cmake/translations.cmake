# qm_translations(TARGET): the translations of the program TARGET, each a resource-only library
# "<program file>.<LANGID, 4 hex digits>.mui" beside it, holding that language's string table and
# the soft-key bars that name its texts. The program carries English alone and opens the user's
# language's library as data when it starts; the libraries are built with the program.
set(QM_TRANSLATIONS de:0407 fr:040C es:0C0A it:0410 ru:0419 pseudo:0501)
function(qm_translations target)
  get_target_property(dir ${target} BINARY_DIR)
  get_target_property(file_name ${target} OUTPUT_NAME)
  if(NOT file_name)
    set(file_name ${target})
  endif()
  file(GLOB soft_keys CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.h ${CMAKE_SOURCE_DIR}/resources/soft_keys.rc)
  foreach(translation ${QM_TRANSLATIONS})
    string(REPLACE ":" ";" parts ${translation})
    list(GET parts 0 tag)
    list(GET parts 1 language)
    set(script ${dir}/${target}_${tag}.rc)
    file(WRITE ${script}.in "// ${target}'s texts in the language ${language}: written by the build.\n"
      "#pragma code_page(65001)\n#include \"resource_ids.h\"\n#include \"text_ids.h\"\n"
      "#include \"soft_keys.rc\"\n#include \"strings/${tag}.rc\"\n")
    configure_file(${script}.in ${script} COPYONLY)
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS
      "${soft_keys};${CMAKE_SOURCE_DIR}/resources/strings/${tag}.rc")
    add_library(${target}_${tag} MODULE ${script})
    target_include_directories(${target}_${tag} PRIVATE ${CMAKE_SOURCE_DIR}/resources)
    set_target_properties(${target}_${tag} PROPERTIES PREFIX "" OUTPUT_NAME "${file_name}.exe.${language}"
      SUFFIX ".mui" LINKER_LANGUAGE C LIBRARY_OUTPUT_DIRECTORY ${dir})
    # No code, no entry point, no runtime: the resources alone.
    target_link_options(${target}_${tag} PRIVATE -nostdlib -Wl,-e,0 -s)
    add_dependencies(${target} ${target}_${tag})
  endforeach()
endfunction()

# qm_language_tests(SUITE PROGRAM LOCKS ARGS...): the Wine suite SUITE's runs in other languages,
# SUITE_<language>_<size>: German and Russian chosen by the platform's language as a user's system
# has it, the pseudo-language chosen for the test alone, each in a virtual desktop of its own with
# its screenshots in screenshots/SUITE-<language>-<size>. ARGS follow the program's --work.
function(qm_language_tests suite program locks)
  foreach(run de:LC_ALL=de_DE.UTF-8:240x320 de:LC_ALL=de_DE.UTF-8:480x640 ru:LC_ALL=ru_RU.UTF-8:240x320
      ru:LC_ALL=ru_RU.UTF-8:480x640 pseudo:QUILLMOTE_LANGUAGE=0501:240x320 pseudo:QUILLMOTE_LANGUAGE=0501:320x240)
    string(REPLACE ":" ";" parts ${run})
    list(GET parts 0 language)
    list(GET parts 1 choice)
    list(GET parts 2 size)
    set(work ${CMAKE_BINARY_DIR}/screenshots/${suite}-${language}-${size})
    add_test(NAME ${suite}_wine_${language}_${size} COMMAND sh ${CMAKE_SOURCE_DIR}/tests/wine/in_desktop.sh
      ${CMAKE_SOURCE_DIR}/tools/wine-run ${size} ${work} ${program} --work ${work} ${ARGN})
    set_tests_properties(${suite}_wine_${language}_${size} PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED wineprefix
      ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX};${choice}" RESOURCE_LOCK "${locks}" TIMEOUT 300)
  endforeach()
endfunction()
