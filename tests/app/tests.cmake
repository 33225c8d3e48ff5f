# Tests of the desktop program: the INI updater (core) and the main window on the offscreen platform.
if(NOT TARGET vadelux)
  return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

vadelux_add_test(app_test
  SOURCES support/QtTestEnvironment.cpp app/IniFileTest.cpp app/MainFormTest.cpp app/TDraw3DTest.cpp app/BusyCursorTest.cpp
  LIBS vadelux_gui Qt6::Widgets Qt6::Test)
# The runs through the window use the NIVELEX.DBF built beside the programs.
add_dependencies(app_test nivelex_dbf)

# End to end: the real program under a private X server, embedded in a host window made by the test.
add_executable(app_test_host app/HostWindow.cpp)
target_link_libraries(app_test_host PRIVATE Qt6::Widgets)
target_compile_definitions(app_test_host PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
set_target_properties(app_test_host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
vadelux_set_warnings(app_test_host)
add_test(NAME app_launched_mode
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/app/launched_mode_test.sh $<TARGET_FILE:vadelux>
                 $<TARGET_FILE:app_test_host> ${CMAKE_SOURCE_DIR}/tests/fixtures/app ${CMAKE_BINARY_DIR}/artifacts)
set_tests_properties(app_launched_mode PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
