#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "RayuelaTestSupport.h"
#include "rayuela/Document.h"

using vadelux::rayuela::Document;
using vadelux::rayuela::Element;
using vadelux::rayuela::testing::fixture;
using vadelux::rayuela::testing::readBytes;
using vadelux::rayuela::testing::ScratchFolder;

namespace {

// Reads `file` with Python's own XML parser and prints every element: tag, attributes in order, text.
std::string readWithPython(const std::filesystem::path& file) {
  const std::string script =
      "import sys, xml.etree.ElementTree as ET\n"
      "def dump(e, depth):\n"
      "    attrs = ' '.join('%s=%s' % (k, ascii(v)) for k, v in e.attrib.items())\n"
      "    print('  ' * depth + e.tag + ' [' + attrs + '] ' + ascii(e.text))\n"
      "    for c in e:\n"
      "        dump(c, depth + 1)\n"
      "dump(ET.parse(sys.argv[1]).getroot(), 0)\n";
  const std::string scriptFile = file.string() + ".py";
  {
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(scriptFile.c_str(), "w"), std::fclose);
    std::fputs(script.c_str(), out.get());
  }
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(
      ::popen(("/usr/bin/python3 '" + scriptFile + "' '" + file.string() + "' 2>&1").c_str(), "r"), ::pclose);
  std::string output;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
    output += buffer;
  }
  return output;
}

TEST(document_write_test, rebuilt_document_keeps_its_prolog_and_encoding_and_reads_back_elsewhere) {
  ScratchFolder folder;
  Document doc = Document::load(fixture("escuela.xml"));
  Element root = doc.replaceRoot("SERVICIO");
  root.setAttribute("modulo", "HORARIOS");
  root.setAttribute("tipo", "I");
  root.setAttribute("autor", "HORARIOS");
  root.setAttribute("fecha", "01/09/2009 10:00:00");
  root.setAttribute("modulo", "HORARIOS");  // set again: stays first
  Element block = root.appendElement("BLOQUE_DATOS");
  Element year = block.appendElement("grupo_datos");
  year.setAttribute("seq", "ANNO_ACADEMICO");
  Element code = year.appendElement("dato");
  code.setAttribute("nombre_dato", "C_ANNO");
  code.setText("2009");
  Element group = block.appendElement("grupo_datos");
  group.setAttribute("seq", "HORARIOS_REGULARES");
  group.setAttribute("registros", "1");
  Element record = group.appendElement("grupo_datos");
  record.setAttribute("seq", "a\"b<c>&d");
  const std::vector<std::pair<std::string, std::string>> fields = {
      {"MATERIA", "Matem\xE1ticas"},
      {"NOTA", "a<b & \"c\" ]]>"},
      {"IMPORTE", "\x80 100"},  // the euro sign, which ISO-8859-1 lacks
      {"VACIO", ""},
  };
  for (const auto& [name, value] : fields) {
    Element field = record.appendElement("dato");
    field.setAttribute("nombre_dato", name);
    field.setText("replaced");
    field.setText(value);
  }
  const std::filesystem::path out = folder / "ResultadoHorvanescuela.xml";
  doc.save(out);

  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
      "<!-- Exportaci\xF3n de Rayuela -->\n"
      "<SERVICIO modulo=\"HORARIOS\" tipo=\"I\" autor=\"HORARIOS\" fecha=\"01/09/2009 "
      "10:00:00\"><BLOQUE_DATOS>"
      "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2009</dato></grupo_datos>"
      "<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"1\"><grupo_datos seq=\"a&quot;b&lt;c&gt;&amp;d\">"
      "<dato nombre_dato=\"MATERIA\">Matem\xE1ticas</dato>"
      "<dato nombre_dato=\"NOTA\">a&lt;b &amp; \"c\" ]]&gt;</dato>"
      "<dato nombre_dato=\"IMPORTE\">&#8364; 100</dato>"
      "<dato nombre_dato=\"VACIO\"/>"
      "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
  EXPECT_EQ(readBytes(out), expected);
  EXPECT_EQ(doc.serialize(), expected);

  EXPECT_EQ(readWithPython(out),
            "SERVICIO [modulo='HORARIOS' tipo='I' autor='HORARIOS' fecha='01/09/2009 10:00:00'] None\n"
            "  BLOQUE_DATOS [] None\n"
            "    grupo_datos [seq='ANNO_ACADEMICO'] None\n"
            "      dato [nombre_dato='C_ANNO'] '2009'\n"
            "    grupo_datos [seq='HORARIOS_REGULARES' registros='1'] None\n"
            "      grupo_datos [seq='a\"b<c>&d'] None\n"
            "        dato [nombre_dato='MATERIA'] 'Matem\\xe1ticas'\n"
            "        dato [nombre_dato='NOTA'] 'a<b & \"c\" ]]>'\n"
            "        dato [nombre_dato='IMPORTE'] '\\u20ac 100'\n"
            "        dato [nombre_dato='VACIO'] None\n");

  // Our own reader sees the same values again.
  const Document again = Document::load(out);
  EXPECT_EQ(again.encoding(), "ISO-8859-1");
  EXPECT_EQ(again.dataBlockFirstChildText(), "2009");
  const auto records = again.records("HORARIOS_REGULARES");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].field(1), "a<b & \"c\" ]]>");
  EXPECT_EQ(records[0].field(2), "\x80 100");
}

TEST(document_write_test, each_file_is_written_in_the_encoding_it_declared) {
  struct Case {
    std::string file;
    std::string encoding;
    std::string written;
  };
  const std::string body = "<SERVICIO><dato>Matem";
  const std::vector<Case> cases = {
      {"valores-latin1.xml", "ISO-8859-1",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + body + "\xE1ticas &#8364;</dato></SERVICIO>\n"},
      {"valores-1252.xml", "windows-1252",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n" + body + "\xE1ticas \x80</dato></SERVICIO>\n"},
      {"valores-utf8.xml", "UTF-8", body + "\xC3\xA1ticas \xE2\x82\xAC</dato></SERVICIO>\n"},
      {"valores-sin-codificacion.xml", "UTF-8",
       "<?xml version=\"1.0\"?>\n" + body + "\xC3\xA1ticas \xE2\x82\xAC</dato></SERVICIO>\n"},
  };
  for (const Case& c : cases) {
    Document doc = Document::load(fixture(c.file));
    EXPECT_EQ(doc.encoding(), c.encoding) << c.file;
    doc.replaceRoot("SERVICIO").appendElement("dato").setText("Matem\xE1ticas \x80");
    EXPECT_EQ(doc.serialize(), c.written) << c.file;
  }
}

TEST(document_write_test, names_that_are_not_xml_are_refused_and_the_document_stays_whole) {
  Document doc = Document::load(fixture("valores-utf8.xml"));
  const std::string before = doc.serialize();
  EXPECT_THROW(doc.replaceRoot("no valido"), vadelux::Error);
  EXPECT_EQ(doc.serialize(), before);
  Element root = doc.replaceRoot("SERVICIO");
  EXPECT_THROW(root.appendElement(""), vadelux::Error);
  EXPECT_THROW(root.setAttribute("1x", "v"), vadelux::Error);
  // Control bytes that XML cannot carry become '?', so the file stays readable.
  root.setAttribute("nota", std::string("a\x01"
                                        "b\tc",
                                        5));
  EXPECT_EQ(doc.serialize(), "<SERVICIO nota=\"a?b&#9;c\"/>\n");
}

TEST(document_write_test, save_failure_names_the_file) {
  ScratchFolder folder;
  const Document doc = Document::load(fixture("valores-utf8.xml"));
  const std::filesystem::path missing = folder / "no-hay" / "salida.xml";
  try {
    doc.save(missing);
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const vadelux::Error& e) {
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
  }
}

}  // namespace
