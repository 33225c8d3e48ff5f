# Small helpers shared by every folder's CMakeLists.txt.

function(vadelux_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
  if(VADELUX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# vadelux_add_test(NAME SOURCES a.cpp b.cpp [LIBS x y])
# One GoogleTest executable per subsystem; fixtures are reached through VADELUX_FIXTURES.
function(vadelux_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE vadelux_core GTest::gtest GTest::gtest_main ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE
    VADELUX_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    VADELUX_BIN_DIR="${VADELUX_BIN_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  vadelux_set_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
