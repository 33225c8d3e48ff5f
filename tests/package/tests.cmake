if(VADELUX_PACKAGE_TEST AND TARGET vadelux)
  add_test(NAME package_install_run_remove
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/package/package_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package_install_run_remove PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900 RUN_SERIAL TRUE)
endif()
