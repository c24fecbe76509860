# The installer under Wine: a silent install, a reinstall that keeps the user's settings, the
# closing of a running Quillmote by installer and uninstaller, and a silent uninstall that leaves
# nothing behind. Needs a display of its own for the program's windows.
if(WIN32 AND TARGET installer AND TARGET qmdrive)
  get_target_property(qm_setup_file installer QM_SETUP_FILE)
  add_test(NAME installer_wine COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/installer_check.sh
    ${CMAKE_SOURCE_DIR}/tools/wine-run ${qm_setup_file} ${CMAKE_CURRENT_BINARY_DIR}/installer
    ${QM_PRODUCT_VERSION} $<TARGET_FILE:qmdrive>)
  set_tests_properties(installer_wine PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED wineprefix
    ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX}" RESOURCE_LOCK "qmx0;display" TIMEOUT 300)
  # The installer in German on a German system: its first page photographed.
  add_test(NAME installer_wine_de COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/installer_language_check.sh
    ${CMAKE_SOURCE_DIR}/tools/wine-run ${qm_setup_file} ${CMAKE_BINARY_DIR}/screenshots/installer-de)
  set_tests_properties(installer_wine_de PROPERTIES LABELS "e2e;wine" FIXTURES_REQUIRED wineprefix
    ENVIRONMENT "WINEPREFIX=${QM_WINEPREFIX}" RESOURCE_LOCK "qmx0;display" TIMEOUT 120)
endif()
