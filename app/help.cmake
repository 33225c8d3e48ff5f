# The help window over RAYUELA.chm and the school-day template dialog, built into the window library.
find_path(CHMLIB_INCLUDE_DIR chm_lib.h REQUIRED)
find_library(CHMLIB_LIBRARY chm REQUIRED)

target_sources(vadelux_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/ChmFile.h
  ${CMAKE_CURRENT_SOURCE_DIR}/ChmFile.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HelpWindow.h
  ${CMAKE_CURRENT_SOURCE_DIR}/HelpWindow.cpp
  ${CMAKE_SOURCE_DIR}/conversion/Plantihoras.h
  ${CMAKE_SOURCE_DIR}/conversion/Plantihoras.cpp
)
set_property(TARGET vadelux_gui PROPERTY AUTOMOC ON)
target_include_directories(vadelux_gui PRIVATE ${CHMLIB_INCLUDE_DIR})
target_link_libraries(vadelux_gui PRIVATE ${CHMLIB_LIBRARY})

# The program shows RAYUELA.chm from its own folder: build it with the program.
if(TARGET vadelux_help)
  add_dependencies(vadelux vadelux_help)
endif()
