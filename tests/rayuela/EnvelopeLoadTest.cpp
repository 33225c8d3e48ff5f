// Loading only what a rebuilt document needs: the same checks, errors, prolog, encoding and year code
// as a whole load, without the records of the later data groups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RayuelaTestSupport.h"
#include "rayuela/Document.h"

using vadelux::rayuela::Document;
using vadelux::rayuela::DocumentError;
using vadelux::rayuela::testing::fixture;
using vadelux::rayuela::testing::readBytes;
using vadelux::rayuela::testing::ScratchFolder;
using vadelux::rayuela::testing::writeBytes;

namespace {

std::string rebuilt(Document& doc) {
  doc.replaceRoot("SERVICIO").appendElement("BLOQUE_DATOS").setText("nuevo");
  return doc.serialize();
}

std::string errorOf(const std::filesystem::path& file, Document (*load)(const std::filesystem::path&)) {
  try {
    load(file);
  } catch (const DocumentError& e) {
    return e.what();
  }
  return "no error";
}

TEST(envelope_load_test, gives_what_a_whole_load_gives_the_export_and_drops_later_records) {
  struct Case {
    std::string name;
    std::string xml;
    std::string firstChildText;
    std::string droppedGroup;  // records a whole load finds and the envelope load does not
    std::string keptGroup;     // records both find
  };
  const std::string later =
      "<grupo_datos seq=\"B\"><grupo_datos><dato>1</dato><dato>2</dato></grupo_datos>texto"
      "<grupo_datos><dato>3</dato></grupo_datos>m&#225;s</grupo_datos>";
  const std::vector<Case> cases = {
      {"escuela.xml", readBytes(fixture("escuela.xml")), "2009", "EMPLEADOS", "ANNO_ACADEMICO"},
      {"first group with records, mixed text in a later one",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"A\">"
       "<grupo_datos><dato>20</dato><dato>x</dato></grupo_datos><grupo_datos><dato>09</dato></grupo_datos>"
       "</grupo_datos>" +
           later + "</BLOQUE_DATOS></SERVICIO><!-- fin -->",
       "20x09", "B", "A"},
      {"text first",
       "<SERVICIO><BLOQUE_DATOS> 2009 <grupo_datos seq=\"A\"><grupo_datos><dato>1</dato>"
       "<dato>2</dato></grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>",
       " 2009 ", "A", ""},
      {"comment first", "<SERVICIO><BLOQUE_DATOS><!--c-->" + later + "</BLOQUE_DATOS></SERVICIO>", "c", "B",
       ""},
      // Blank text that is dropped after parsing does not make the group behind it a later one.
      {"blank text first",
       "<SERVICIO><BLOQUE_DATOS>&#32;<grupo_datos seq=\"A\"><grupo_datos><dato>20</dato><dato>09</dato>"
       "</grupo_datos></grupo_datos>" +
           later + "</BLOQUE_DATOS></SERVICIO>",
       "2009", "B", "A"},
      // Entities may put the same nodes in several places: such a file keeps everything.
      {"entities",
       "<!DOCTYPE SERVICIO [<!ENTITY e \"<dato>v</dato><dato>w</dato>\">]>"
       "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"A\"><dato>2009</dato></grupo_datos>"
       "<grupo_datos seq=\"B\"><grupo_datos>&e;</grupo_datos><grupo_datos>&e;</grupo_datos>"
       "<grupo_datos>&e;&e;</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>",
       "2009", "", "B"},
  };
  ScratchFolder folder;
  for (const Case& c : cases) {
    const std::filesystem::path file = folder / "centro.xml";
    writeBytes(file, c.xml);
    Document whole = Document::load(file);
    Document envelope = Document::loadEnvelope(file);
    EXPECT_EQ(envelope.dataBlockFirstChildText(), c.firstChildText) << c.name;
    EXPECT_EQ(envelope.dataBlockFirstChildText(), whole.dataBlockFirstChildText()) << c.name;
    EXPECT_EQ(envelope.encoding(), whole.encoding()) << c.name;
    if (!c.droppedGroup.empty()) {
      EXPECT_FALSE(whole.records(c.droppedGroup).empty()) << c.name;
      EXPECT_TRUE(envelope.records(c.droppedGroup).empty()) << c.name;
    }
    if (!c.keptGroup.empty()) {
      const auto expected = whole.records(c.keptGroup);
      const auto got = envelope.records(c.keptGroup);
      ASSERT_EQ(got.size(), expected.size()) << c.name;
      for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].fieldCount(), expected[i].fieldCount()) << c.name;
        EXPECT_EQ(got[i].field(0), expected[i].field(0)) << c.name;
      }
    }
    // Rebuilt, both write the same file: declaration, encoding and the nodes around the root.
    EXPECT_EQ(rebuilt(envelope), rebuilt(whole)) << c.name;
  }
}

TEST(envelope_load_test, refuses_what_a_whole_load_refuses_with_the_same_message) {
  ScratchFolder folder;
  std::vector<std::filesystem::path> files;
  for (const char* name :
       {"mal-cerrado.xml", "sin-bloque.xml", "otra-raiz.xml", "vacio.xml", "texto.xml", "bomba.xml"}) {
    files.push_back(fixture(name));
  }
  // A fault deep inside a record of a group whose records are dropped.
  files.push_back(folder / "roto.xml");
  writeBytes(files.back(),
             "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"A\"/><grupo_datos seq=\"B\">\n"
             "<grupo_datos><dato>1</dato></grupo_datos>\n<grupo_datos><dato>2</dat></grupo_datos>"
             "</grupo_datos></BLOQUE_DATOS></SERVICIO>");
  files.push_back(folder / "no-existe.xml");
  for (const auto& file : files) {
    const std::string expected = errorOf(file, &Document::load);
    EXPECT_NE(expected, "no error") << file;
    EXPECT_EQ(errorOf(file, &Document::loadEnvelope), expected) << file;
  }
}

}  // namespace
