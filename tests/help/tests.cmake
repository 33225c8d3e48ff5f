# Tests of the help file, the help window and the school-day template dialog.
if(TARGET vadelux_gui AND TARGET vadelux_help)
  vadelux_add_test(help_test
    SOURCES help/ChmFileTest.cpp help/HelpWindowTest.cpp help/PlantihorasTest.cpp support/QtTestEnvironment.cpp
    LIBS vadelux_gui)
  add_dependencies(help_test vadelux_help)
  target_compile_definitions(help_test PRIVATE VADELUX_HELP_SOURCE_DIR="${CMAKE_SOURCE_DIR}/data/help")

  # Screenshots of the real windows on a private X server; they are kept as test artefacts.
  add_executable(help_screenshots help/HelpScreenshots.cpp)
  target_link_libraries(help_screenshots PRIVATE vadelux_gui)
  set_target_properties(help_screenshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  vadelux_set_warnings(help_screenshots)
  add_dependencies(help_screenshots vadelux_help)
  add_test(NAME help_screenshots
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/help/screenshots.sh $<TARGET_FILE:help_screenshots>
                   ${CMAKE_BINARY_DIR}/artifacts ${VADELUX_BIN_DIR}/RAYUELA.chm
                   ${CMAKE_SOURCE_DIR}/tests/fixtures/help/plantillas.xml)
  set_tests_properties(help_screenshots PROPERTIES TIMEOUT 120)
endif()
