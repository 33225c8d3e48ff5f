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
