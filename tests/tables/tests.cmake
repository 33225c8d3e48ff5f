# Tests of the dBase layer, the working folder and NIVELEX.DBF. Tables are read back by our reader,
# by Free Pascal's TDbf (through tdbftables, compiled here) and by Debian's python3-dbfread.

find_program(VADELUX_FPC_FOR_TABLES fpc REQUIRED)
set(VADELUX_TDBFTABLES_DIR ${CMAKE_CURRENT_BINARY_DIR}/tables)
set(VADELUX_TDBFTABLES ${VADELUX_TDBFTABLES_DIR}/tdbftables)
add_custom_command(
  OUTPUT ${VADELUX_TDBFTABLES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VADELUX_TDBFTABLES_DIR}/units
  COMMAND ${VADELUX_FPC_FOR_TABLES} -O1 -v0 -FU${VADELUX_TDBFTABLES_DIR}/units -o${VADELUX_TDBFTABLES}
          ${CMAKE_CURRENT_SOURCE_DIR}/tables/tdbftables.pas
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tables/tdbftables.pas
  COMMENT "Compiling tdbftables with Free Pascal"
  VERBATIM)
add_custom_target(tdbftables DEPENDS ${VADELUX_TDBFTABLES})

vadelux_add_test(tables_test SOURCES
  tables/TablesTestSupport.cpp
  tables/DbfWriterTest.cpp
  tables/DbfTableTest.cpp
  tables/WorkingFolderTest.cpp
  tables/NivelexTest.cpp)
add_dependencies(tables_test tdbftables vadelux-cli nivelex_dbf)
target_compile_definitions(tables_test PRIVATE
  VADELUX_TDBFTABLES="${VADELUX_TDBFTABLES}"
  VADELUX_DBFREAD_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/tables/dbfread_dump.py"
  VADELUX_NIVELEX_CSV="${CMAKE_SOURCE_DIR}/data/nivelex.csv")
