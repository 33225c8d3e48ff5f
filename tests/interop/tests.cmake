# Interop tests: our dBase files read back by independent readers (Free Pascal's TDbf through our own
# tdbfdump, python3-dbfread, LibreOffice Calc).

find_program(VADELUX_FPC fpc REQUIRED)
set(VADELUX_TDBFDUMP_DIR ${CMAKE_CURRENT_BINARY_DIR}/interop)
set(VADELUX_TDBFDUMP ${VADELUX_TDBFDUMP_DIR}/tdbfdump)
add_custom_command(
  OUTPUT ${VADELUX_TDBFDUMP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VADELUX_TDBFDUMP_DIR}/units
  COMMAND ${VADELUX_FPC} -O1 -v0 -FU${VADELUX_TDBFDUMP_DIR}/units -o${VADELUX_TDBFDUMP}
          ${CMAKE_CURRENT_SOURCE_DIR}/interop/tdbfdump.pas
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/interop/tdbfdump.pas
  COMMENT "Compiling tdbfdump with Free Pascal"
  VERBATIM)
add_custom_target(tdbfdump DEPENDS ${VADELUX_TDBFDUMP})

set(interop_sources
  interop/ExternalProgram.cpp
  interop/Tdbf.cpp
  interop/MdxWalk.cpp
  interop/MdxInteropTest.cpp)
# The tables written by our dBase writer are checked once that writer exists.
if(EXISTS ${CMAKE_SOURCE_DIR}/tables/DbfWriter.cpp)
  list(APPEND interop_sources interop/DbfInteropTest.cpp)
endif()
vadelux_add_test(interop_test SOURCES ${interop_sources})
add_dependencies(interop_test tdbfdump)
target_compile_definitions(interop_test PRIVATE
  VADELUX_TDBFDUMP="${VADELUX_TDBFDUMP}"
  VADELUX_DBFREAD_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/interop/dbfread_table.py"
  VADELUX_NIVELEX_CSV="${CMAKE_SOURCE_DIR}/data/nivelex.csv")
# The level-7 lookup table that the build puts beside the programs.
if(TARGET nivelex_dbf)
  add_dependencies(interop_test nivelex_dbf)
endif()
