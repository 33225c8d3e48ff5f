# Bad inputs refused without changing anything, and working tables that a second program cannot corrupt.
vadelux_add_test(robustness_test SOURCES
  robustness/ChildProcess.cpp
  robustness/School.cpp
  robustness/ReaderMessagesTest.cpp
  robustness/FileWriteTest.cpp
  robustness/BadInputTest.cpp
  robustness/TableLockTest.cpp
  robustness/LargeFileTest.cpp)
add_dependencies(robustness_test vadelux-cli)

# Slows every rename of a program it is preloaded into, so that two runs publish at the same moment.
add_library(vadelux_slow_rename MODULE robustness/SlowRename.c)
target_compile_options(vadelux_slow_rename PRIVATE -fno-sanitize=all)
target_link_options(vadelux_slow_rename PRIVATE -fno-sanitize=all)
target_link_libraries(vadelux_slow_rename PRIVATE ${CMAKE_DL_LIBS})
add_dependencies(robustness_test vadelux_slow_rename)
target_compile_definitions(robustness_test PRIVATE VADELUX_SLOW_RENAME="$<TARGET_FILE:vadelux_slow_rename>")

# Runs a program and tells its peak memory, measured from a process of its own size.
add_executable(vadelux_measure_memory robustness/MeasureMemory.c)
target_compile_options(vadelux_measure_memory PRIVATE -fno-sanitize=all)
target_link_options(vadelux_measure_memory PRIVATE -fno-sanitize=all)
set_target_properties(vadelux_measure_memory PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_dependencies(robustness_test vadelux_measure_memory)
target_compile_definitions(robustness_test PRIVATE VADELUX_MEASURE_MEMORY="$<TARGET_FILE:vadelux_measure_memory>")
