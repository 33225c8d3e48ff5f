# End to end: the real desktop program under a private X server, driven by mouse and keyboard.
if(NOT TARGET vadelux OR NOT TARGET app_test_host)
  return()
endif()

set(VADELUX_E2E_ARTIFACTS ${CMAKE_BINARY_DIR}/artifacts)
add_test(NAME e2e_hand_mode
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/hand_mode_test.sh $<TARGET_FILE:vadelux> ${VADELUX_BIN_DIR}
                 ${CMAKE_SOURCE_DIR}/tests/fixtures ${VADELUX_E2E_ARTIFACTS})
add_test(NAME e2e_launched_export
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/launched_export_test.sh $<TARGET_FILE:vadelux>
                 $<TARGET_FILE:app_test_host> ${VADELUX_BIN_DIR} ${CMAKE_SOURCE_DIR}/tests/fixtures
                 ${VADELUX_E2E_ARTIFACTS})
add_test(NAME e2e_launched_error
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/launched_error_test.sh $<TARGET_FILE:vadelux>
                 $<TARGET_FILE:app_test_host> ${VADELUX_BIN_DIR} ${CMAKE_SOURCE_DIR}/tests/fixtures
                 ${VADELUX_E2E_ARTIFACTS})
set_tests_properties(e2e_hand_mode e2e_launched_export e2e_launched_error
                     PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60 LABELS e2e)
