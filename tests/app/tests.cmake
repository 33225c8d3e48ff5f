# Tests of the desktop program: the INI updater (core) and the main window on the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

vadelux_add_test(app_test
  SOURCES app/QtApplication.cpp app/IniFileTest.cpp app/MainFormTest.cpp app/TDraw3DTest.cpp app/BusyCursorTest.cpp
  LIBS vadelux_gui Qt6::Widgets Qt6::Test)
