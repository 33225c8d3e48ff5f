# NIVELEX.DBF, the course-level lookup table, built from data/nivelex.csv by vadelux-cli and put
# beside the programs in the bin folder.
set(VADELUX_NIVELEX_DBF ${VADELUX_BIN_DIR}/NIVELEX.DBF)
add_custom_command(
  OUTPUT ${VADELUX_NIVELEX_DBF}
  COMMAND $<TARGET_FILE:vadelux-cli> nivelex ${CMAKE_CURRENT_SOURCE_DIR}/nivelex.csv --programa ${VADELUX_BIN_DIR}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/nivelex.csv vadelux-cli
  COMMENT "Building NIVELEX.DBF from nivelex.csv"
  VERBATIM)
add_custom_target(nivelex_dbf ALL DEPENDS ${VADELUX_NIVELEX_DBF})
