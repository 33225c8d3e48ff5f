# Tests of the desktop program: the INI updater (core) and the main window on the offscreen platform.
vadelux_add_test(app_test SOURCES app/IniFileTest.cpp)
