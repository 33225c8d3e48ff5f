// What the reader and the writer of exchange files tell the user: Spanish reasons only, nothing of the XML
// library's own English output, and no file that could not be read back.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "tests/robustness/School.h"

namespace vadelux::testing {
namespace {

// The CLI's error output holds the message alone, whatever the XML library met on the way.
TEST(reader_messages_test, bytes_that_are_wrong_in_the_declared_encoding_give_one_spanish_line) {
  const School school;
  writeText(school.xml(),
            "<?xml version=\"1.0\" "
            "encoding=\"EUC-JP\"?>\n<SERVICIO><BLOQUE_DATOS>\xFF\xFF\xFF\xFF</BLOQUE_DATOS></SERVICIO>\n");
  const auto before = school.state();
  const ProcessResult cli = school.cliExportar();
  EXPECT_EQ(cli.exitCode, 1);
  EXPECT_EQ(cli.err, "El archivo " + school.xml().string() +
                         " no es un XML bien formado: contiene caracteres que no son v\xC3\xA1lidos en su "
                         "codificaci\xC3\xB3n (l\xC3\xADnea 2, columna 25)\n");
  EXPECT_EQ(school.state(), before);
}

}  // namespace
}  // namespace vadelux::testing
