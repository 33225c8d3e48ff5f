vadelux_add_test(conversion_test SOURCES
  conversion/SubjectStepsTest.cpp
  conversion/CourseStepsTest.cpp
  conversion/ConversionRunTest.cpp
)
