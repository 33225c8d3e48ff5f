// Saving while the children of one element come a batch at a time: the same bytes as a whole save, and
// no file at all when the save does not end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "RayuelaTestSupport.h"
#include "common/Error.h"
#include "rayuela/Document.h"
#include "rayuela/StreamingSave.h"

using vadelux::rayuela::Document;
using vadelux::rayuela::Element;
using vadelux::rayuela::StreamingSave;
using vadelux::rayuela::testing::fixture;
using vadelux::rayuela::testing::readBytes;
using vadelux::rayuela::testing::ScratchFolder;
using vadelux::rayuela::testing::writeBytes;

namespace {

// The envelope of an export, up to its open group; `after` adds an element behind that group.
Element buildEnvelope(Document& doc, bool after) {
  Element root = doc.replaceRoot("SERVICIO");
  root.setAttribute("modulo", "HORARIOS");
  root.setAttribute("fecha", "01/09/2009 \x80<\"&>");  // the euro sign and characters to escape
  Element block = root.appendElement("BLOQUE_DATOS");
  Element year = block.appendElement("grupo_datos");
  year.setAttribute("seq", "ANNO_ACADEMICO");
  year.appendElement("dato").setText("2009");
  Element group = block.appendElement("grupo_datos");
  group.setAttribute("seq", "HORARIOS_REGULARES");
  group.setAttribute("registros", "3");
  if (after) {
    block.appendElement("fin").setAttribute("nota", "tab\there");
  }
  return group;
}

// One teacher group with `records` records, values that need escaping and one the encoding may lack.
void appendTeacher(Element group, int ordinal, int records) {
  Element teacher = group.appendElement("grupo_datos");
  teacher.setAttribute("seq", "HORARIO_REGULAR_PROFESOR_" + std::to_string(ordinal));
  teacher.setAttribute("registros", std::to_string(records));
  Element name = teacher.appendElement("dato");
  name.setAttribute("nombre_dato", "X_EMPLEADO");
  name.setText(
      "N\xFA\xF1"
      "ez \x80 a<b & c>d");
  for (int r = 1; r <= records; ++r) {
    Element record = teacher.appendElement("grupo_datos");
    record.setAttribute("seq", "ACTIVIDAD_" + std::to_string(r));
    record.appendElement("dato").setAttribute("nombre_dato", "VACIO");
    record.appendElement("dato").setText("\r\n]]>");
  }
}

struct Case {
  std::string name;
  std::string bytes;  // the input file
};

std::vector<Case> inputs() {
  std::vector<Case> cases;
  for (const char* name : {"escuela.xml", "valores-latin1.xml", "valores-1252.xml", "valores-utf8.xml",
                           "valores-sin-codificacion.xml"}) {
    cases.push_back({name, readBytes(fixture(name))});
  }
  // Nodes around the root on both sides, and a declaration that says it stands alone.
  cases.push_back(
      {"alrededor.xml",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n<?antes a=\"1\"?>\n"
       "<!-- antes -->\n<SERVICIO><BLOQUE_DATOS/></SERVICIO>\n<!-- despu\xE9s -->\n<?despues?>\n"});
  return cases;
}

TEST(streaming_save_test, writes_the_bytes_of_a_whole_save_in_each_encoding) {
  ScratchFolder folder;
  // Batches of teacher groups, an empty batch among them; none at all gives the empty-element form.
  const std::vector<std::vector<int>> batchings = {{2, 0, 1}, {1}, {}};
  for (const Case& input : inputs()) {
    const std::filesystem::path in = folder / input.name;
    writeBytes(in, input.bytes);
    for (const bool after : {false, true}) {
      for (const auto& batches : batchings) {
        const std::string label = input.name + (after ? " with an element after" : "") + ", " +
                                  std::to_string(batches.size()) + " batches";
        Document whole = Document::load(in);
        Element wholeGroup = buildEnvelope(whole, after);
        int ordinal = 0;
        for (const int count : batches) {
          for (int i = 0; i < count; ++i) {
            ++ordinal;
            appendTeacher(wholeGroup, ordinal, ordinal % 3);
          }
        }
        const std::filesystem::path expected = folder / "whole.xml";
        whole.save(expected);

        Document streamed = Document::load(in);
        Element group = buildEnvelope(streamed, after);
        const std::filesystem::path out = folder / "streamed.xml";
        std::filesystem::remove(out);
        {
          StreamingSave save(streamed, group, out);
          ordinal = 0;
          for (const int count : batches) {
            for (int i = 0; i < count; ++i) {
              ++ordinal;
              appendTeacher(group, ordinal, ordinal % 3);
            }
            save.writePending();
          }
          EXPECT_FALSE(std::filesystem::exists(out)) << label << ": the file appears before the end";
          save.commit();
        }
        EXPECT_EQ(readBytes(out), readBytes(expected)) << label;
        // The groups written are gone from the document.
        EXPECT_EQ(streamed.serialize().find("HORARIO_REGULAR_PROFESOR_"), std::string::npos) << label;
      }
    }
  }
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(left.size(), inputs().size() + 2) << "temporary files left behind";
}

TEST(streaming_save_test, a_save_that_does_not_end_leaves_the_old_file_and_nothing_else) {
  ScratchFolder folder;
  const std::filesystem::path out = folder / "salida.xml";
  writeBytes(out, "old");
  {
    Document doc = Document::load(fixture("escuela.xml"));
    Element group = buildEnvelope(doc, false);
    StreamingSave save(doc, group, out);
    // More than the writer keeps in memory, so part of it has reached the temporary file.
    for (int i = 1; i <= 3000; ++i) {
      appendTeacher(group, i, 2);
      save.writePending();
    }
  }  // an error in the middle ends the save here, without commit()
  EXPECT_EQ(readBytes(out), "old");
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    ++files;
    EXPECT_EQ(entry.path(), out);
  }
  EXPECT_EQ(files, 1u);
}

TEST(streaming_save_test, a_folder_that_cannot_be_written_is_named_before_anything_is_built) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder / "ro");
  ::chmod((folder / "ro").c_str(), 0555);
  const std::filesystem::path out = folder / "ro" / "salida.xml";
  Document doc = Document::load(fixture("escuela.xml"));
  Element group = buildEnvelope(doc, false);
  try {
    StreamingSave save(doc, group, out);
    ADD_FAILURE() << "no error";
  } catch (const vadelux::Error& e) {
    EXPECT_EQ(std::string(e.what()), "No se puede escribir el archivo " + out.string() + ": no hay permiso");
  }
  ::chmod((folder / "ro").c_str(), 0755);
  EXPECT_TRUE(std::filesystem::is_empty(folder / "ro"));
}

}  // namespace
