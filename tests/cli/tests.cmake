add_test(NAME cli_end_to_end
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/cli/cli_test.sh $<TARGET_FILE:vadelux-cli> ${CMAKE_SOURCE_DIR}/tests/fixtures
                 ${VADELUX_BIN_DIR})
