vadelux_add_test(rayuela_test SOURCES
  rayuela/DocumentReadTest.cpp
  rayuela/DocumentSafetyTest.cpp
  rayuela/DocumentWriteTest.cpp
  rayuela/EnvelopeLoadTest.cpp
  rayuela/StreamingSaveTest.cpp
)
