// What the reader and the writer of exchange files tell the user: Spanish reasons only, nothing of the XML
// library's own English output, and no file that could not be read back.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "rayuela/Document.h"
#include "tests/robustness/School.h"

namespace vadelux::testing {
namespace {

// A school file with a comment and a DOCTYPE before its root, so that a cut can fall anywhere.
std::string fileWithEverything() {
  const std::string body = schoolXml(schoolGroups());
  const std::size_t root = body.find("<SERVICIO");
  return body.substr(0, root) +
         "<!-- Exportaci\xC3\xB3n de Rayuela -->\n<!DOCTYPE SERVICIO [\n <!ENTITY aula \"Aula\">\n]>\n" +
         body.substr(root);
}

TEST(reader_messages_test, a_file_cut_anywhere_is_refused_with_a_spanish_reason) {
  const TempFolder dir;
  const std::string whole = fileWithEverything();
  const auto file = dir / "cortado.xml";
  std::size_t refused = 0;
  for (std::size_t size = 1; size + 1 < whole.size(); ++size) {
    writeText(file, whole.substr(0, size));
    try {
      rayuela::Document::load(file);
    } catch (const rayuela::DocumentError& e) {
      ++refused;
      const std::string message = e.what();
      EXPECT_EQ(message.find("error de XML"), std::string::npos) << "cut at " << size << ": " << message;
      EXPECT_NE(message.find("(l\xC3\xADnea "), std::string::npos) << message;
    }
  }
  // Only the cut just before the final line break leaves a whole document.
  EXPECT_EQ(refused, whole.size() - 2);
}

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

std::string minimalFile(const std::string& encoding) {
  return "<?xml version=\"1.0\" encoding=\"" + encoding +
         "\"?>\n<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2026</dato></grupo_datos>"
         "</BLOQUE_DATOS></SERVICIO>\n";
}

// A document is written in the encoding of the file it came from only where a reader can find its
// markup again; UTF-7 writes '<' as "+ADw-".
TEST(reader_messages_test, a_document_is_written_only_in_an_encoding_that_can_be_read_back) {
  const TempFolder dir;
  const auto input = dir / "entrada.xml";
  const auto output = dir / "salida.xml";
  for (const std::string encoding : {"UTF-8", "ISO-8859-1", "windows-1252", "UTF-16", "UTF-16BE", "IBM037"}) {
    std::string text = minimalFile(encoding);
    if (encoding.starts_with("UTF-16") || encoding == "IBM037") {
      // The declaration itself in that encoding, as a file of that encoding has it.
      const std::string iconvName = encoding == "UTF-16" ? "UTF-16LE" : encoding;
      writeText(dir / "utf8.xml", text);
      ASSERT_EQ(std::system(("iconv -f UTF-8 -t " + iconvName + " '" + (dir / "utf8.xml").string() + "' > '" +
                             input.string() + "'")
                                .c_str()),
                0);
    } else {
      writeText(input, text);
    }
    auto doc = rayuela::Document::load(input);
    doc.replaceRoot("SERVICIO").appendElement("BLOQUE_DATOS").appendElement("dato").setText("2026");
    doc.save(output);
    const auto again = rayuela::Document::load(output);
    EXPECT_EQ(again.encoding(), doc.encoding()) << encoding;
    EXPECT_EQ(again.dataBlockFirstChildText(), "2026") << encoding;
  }

  writeText(input, minimalFile("UTF-7"));
  std::filesystem::remove(output);
  auto doc = rayuela::Document::load(input);
  EXPECT_EQ(doc.dataBlockFirstChildText(), "2026");
  try {
    doc.save(output);
    ADD_FAILURE() << "a UTF-7 document was written";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "No se puede escribir el documento en la codificaci\xC3\xB3n UTF-7");
  }
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST(reader_messages_test, the_export_of_a_utf7_file_writes_nothing) {
  const School school;
  writeText(school.xml(), minimalFile("UTF-7"));
  const auto before = school.state();
  try {
    school.exportTimetable();
    ADD_FAILURE() << "a UTF-7 result was written";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "No se puede escribir el documento en la codificaci\xC3\xB3n UTF-7");
  }
  EXPECT_EQ(school.state(), before);
}

}  // namespace
}  // namespace vadelux::testing
