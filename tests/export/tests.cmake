vadelux_add_test(export_test SOURCES export/ExportTest.cpp)
