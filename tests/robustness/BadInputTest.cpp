// A catalogue of bad inputs. Each one is refused with its Spanish message, through the core run and
// through vadelux-cli (exit code 1, the message alone on the error output), and leaves every file of the
// working folder, the program folder and the Rayuela file's folder exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "common/Error.h"
#include "tables/DbfWriter.h"
#include "tests/robustness/School.h"

namespace vadelux::testing {
namespace {

enum class Direction { Conversion, Export };

struct BadInput {
  std::string name;
  Direction direction;
  std::function<void(const School&)> spoil;
  std::function<std::string(const School&)> message;  // the whole message, UTF-8
};

std::ostream& operator<<(std::ostream& out, const BadInput& input) {
  return out << input.name;
}

// The files that differ between two states of a folder, appeared and vanished ones included.
std::vector<std::string> changedFiles(const std::map<std::string, std::string>& before,
                                      const std::map<std::string, std::string>& after) {
  std::vector<std::string> changed;
  for (const auto& [name, bytes] : before) {
    const auto it = after.find(name);
    if (it == after.end() || it->second != bytes) {
      changed.push_back(name);
    }
  }
  for (const auto& [name, bytes] : after) {
    if (before.count(name) == 0) {
      changed.push_back(name);
    }
  }
  return changed;
}

std::string refusal(const School& school, Direction direction) {
  try {
    if (direction == Direction::Conversion) {
      school.convert();
    } else {
      school.exportTimetable();
    }
  } catch (const Error& e) {
    return e.what();
  }
  return "(la ejecución no se detuvo)";
}

void writeXml(const School& school, const std::string& text) {
  writeText(school.xml(), text);
}

void copyFixture(const School& school, const std::string& name) {
  std::filesystem::copy_file(std::filesystem::path(VADELUX_FIXTURES) / "robustness" / name, school.xml(),
                             std::filesystem::copy_options::overwrite_existing);
}

// SOLUC.DBF as the school has it, with some bytes changed.
void patchSolution(const School& school, const std::function<void(std::string&)>& patch) {
  std::string bytes = readBytes(school.htemp() / "SOLUC.DBF");
  patch(bytes);
  writeText(school.htemp() / "SOLUC.DBF", bytes);
}

void setLE(std::string& bytes, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) {
    bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

// A solution with the fields given, one row of the school's teacher on day 1.
void writeSolutionWith(const School& school, const std::vector<tables::FieldDef>& fields, const char* dia) {
  auto w = tables::DbfWriter::create(school.htemp() / "SOLUC.DBF", {"SOLUC", fields, ""});
  w.append();
  w.setText("PROF", "GLJ");
  for (const auto& f : fields) {
    if (f.name == "DIA") {
      w.setText("DIA", dia);
    }
  }
  w.post();
  w.close();
}

std::string notWellFormed(const School& s, const std::string& reason) {
  return "El archivo " + s.xml().string() + " no es un XML bien formado: " + reason;
}

std::string damagedSolution(const School& s, const std::string& problem) {
  return "La tabla " + (s.htemp() / "SOLUC.DBF").string() +
         " est\xC3\xA1 da\xC3\xB1"
         "ada: " +
         problem;
}

const std::string kNotAnInteger = "' no es un valor entero v\xC3\xA1lido";

std::vector<BadInput> catalogue() {
  std::vector<BadInput> cases;
  // Files that are no Rayuela exchange file, read by both directions.
  for (const Direction d : {Direction::Conversion, Direction::Export}) {
    const std::string way = d == Direction::Conversion ? "_conversion" : "_export";
    cases.push_back({"not_xml" + way, d, [](const School& s) { writeXml(s, "Horario de 1\xC2\xBA ESO\n"); },
                     [](const School& s) {
                       return notWellFormed(
                           s, "no contiene ning\xC3\xBAn elemento XML (l\xC3\xADnea 1, columna 1)");
                     }});
    cases.push_back({"another_root" + way, d,
                     [](const School& s) {
                       writeXml(s, "<?xml version=\"1.0\"?>\n<HORARIOS><BLOQUE_DATOS/></HORARIOS>\n");
                     },
                     [](const School& s) {
                       return "El archivo " + s.xml().string() +
                              " no es un archivo de intercambio de Rayuela: le falta /SERVICIO/BLOQUE_DATOS";
                     }});
    cases.push_back(
        {"truncated" + way, d,
         [](const School& s) {
           const std::string whole = schoolXml(schoolGroups());
           writeXml(s, whole.substr(0, whole.find("<grupo_datos seq=\"EMPLEADOS\"") + 20));
         },
         [](const School& s) {
           return notWellFormed(
               s, "el valor de un atributo no termina con sus comillas (l\xC3\xADnea 12, columna 25)");
         }});
    cases.push_back(
        {"billion_laughs" + way, d, [](const School& s) { copyFixture(s, "mil-millones-de-risas.xml"); },
         [](const School& s) {
           return notWellFormed(s, "sus entidades se expanden sin medida (l\xC3\xADnea 18, columna 61)");
         }});
    cases.push_back({"external_entity" + way, d,
                     [](const School& s) { copyFixture(s, "entidad-externa.xml"); },
                     [](const School& s) {
                       return "El archivo " + s.xml().string() +
                              " declara la entidad externa \xC2\xAB"
                              "clave\xC2\xBB, que no se admite (l\xC3\xADnea 3, "
                              "columna 44)";
                     }});
  }

  // Values that the conversion cannot take.
  struct Value {
    std::string name;
    std::string course;
    std::string slot;
    std::string shown;
  };
  for (const Value& v :
       {Value{"course_key_with_a_letter", "12a", "480", "12a"}, Value{"empty_course_key", "", "480", ""},
        Value{"course_key_beyond_32_bits", "99999999999", "480", "99999999999"},
        Value{"slot_time_as_clock_text", "101", "8:00", "8:00"}}) {
    cases.push_back({v.name, Direction::Conversion,
                     [v](const School& s) { writeXml(s, schoolXml(schoolGroups(v.course, v.slot))); },
                     [v](const School&) { return "'" + v.shown + kNotAnInteger; }});
  }
  cases.push_back({"nivelex_damaged", Direction::Conversion,
                   [](const School& s) {
                     const std::string bytes = readBytes(s.programa() / "NIVELEX.DBF");
                     writeText(s.programa() / "NIVELEX.DBF", bytes.substr(0, bytes.size() - 40));
                   },
                   [](const School& s) {
                     return "La tabla " + (s.programa() / "NIVELEX.DBF").string() +
                            " est\xC3\xA1 da\xC3\xB1"
                            "ada: la cabecera anuncia 1 registros, pero el archivo solo tiene sitio para 0";
                   }});

  // The working folder and its tables.
  cases.push_back({"working_folder_missing_conversion", Direction::Conversion,
                   [](const School& s) { std::filesystem::remove_all(s.htemp()); },
                   [](const School& s) { return "No existe la carpeta de trabajo " + s.htemp().string(); }});
  cases.push_back({"working_folder_missing_export", Direction::Export,
                   [](const School& s) { std::filesystem::remove_all(s.htemp()); },
                   [](const School& s) {
                     return "No existe la tabla SOLUC.DBF en la carpeta de trabajo " + s.htemp().string() +
                            ". Importe de nuevo el XML de Rayuela o resuelva el horario en Horvane.";
                   }});
  cases.push_back({"working_folder_read_only", Direction::Conversion,
                   [](const School& s) { ::chmod(s.htemp().c_str(), 0555); },
                   [](const School& s) {
                     return "No se puede escribir en la carpeta de trabajo " + s.htemp().string() +
                            ": no hay permiso";
                   }});
  cases.push_back({"table_read_only", Direction::Conversion,
                   [](const School& s) { ::chmod((s.htemp() / "PROFT.DBF").c_str(), 0444); },
                   [](const School&) {
                     return std::string(
                         "La tabla PROFT.DBF es de solo lectura: no se puede reemplazar ni borrar. "
                         "Qu\xC3\xADtele la protecci\xC3\xB3n contra escritura y vuelva a intentarlo.");
                   }});

  // The generator's solution, damaged.
  cases.push_back({"solution_cut_in_a_record", Direction::Export,
                   [](const School& s) { patchSolution(s, [](std::string& b) { b.resize(b.size() - 20); }); },
                   [](const School& s) {
                     return damagedSolution(
                         s, "la cabecera anuncia 2 registros, pero el archivo solo tiene sitio para 1");
                   }});
  cases.push_back({"solution_record_count_lies", Direction::Export,
                   [](const School& s) { patchSolution(s, [](std::string& b) { setLE(b, 4, 1000, 4); }); },
                   [](const School& s) {
                     return damagedSolution(
                         s, "la cabecera anuncia 1000 registros, pero el archivo solo tiene sitio para 2");
                   }});
  cases.push_back({"solution_header_length_lies", Direction::Export,
                   [](const School& s) { patchSolution(s, [](std::string& b) { setLE(b, 8, 40, 2); }); },
                   [](const School& s) {
                     return damagedSolution(
                         s, "la longitud de la cabecera (40 bytes) no concuerda con sus 7 campos");
                   }});
  cases.push_back({"solution_without_dia", Direction::Export,
                   [](const School& s) {
                     writeSolutionWith(s,
                                       {{"PROF", 'C', 4, 0},
                                        {"HORA", 'N', 3, 0},
                                        {"ASIG", 'C', 4, 0},
                                        {"CODGRUPO", 'C', 4, 0},
                                        {"TAREA", 'C', 12, 0},
                                        {"AULA", 'C', 4, 0}},
                                       "");
                   },
                   [](const School& s) {
                     return "La tabla " + (s.htemp() / "SOLUC.DBF").string() + " no tiene el campo DIA";
                   }});
  cases.push_back({"solution_day_not_a_number", Direction::Export,
                   [](const School& s) {
                     writeSolutionWith(s,
                                       {{"PROF", 'C', 4, 0},
                                        {"DIA", 'C', 2, 0},
                                        {"HORA", 'N', 3, 0},
                                        {"ASIG", 'C', 4, 0},
                                        {"CODGRUPO", 'C', 4, 0},
                                        {"TAREA", 'C', 12, 0},
                                        {"AULA", 'C', 4, 0}},
                                       "x");
                   },
                   [](const School&) { return "'x" + kNotAnInteger; }});
  cases.push_back({"output_folder_read_only", Direction::Export,
                   [](const School& s) { ::chmod(s.datos().c_str(), 0555); },
                   [](const School& s) {
                     return "No se puede escribir el archivo " + s.output().string() + ": no hay permiso";
                   }});
  return cases;
}

class bad_input_test : public ::testing::TestWithParam<BadInput> {};

TEST_P(bad_input_test, is_refused_with_its_message_and_changes_nothing) {
  const BadInput& input = GetParam();
  const School school;
  input.spoil(school);
  const auto before = school.state();
  const std::string message = input.message(school);

  EXPECT_EQ(refusal(school, input.direction), message);
  EXPECT_EQ(changedFiles(before, school.state()), std::vector<std::string>{});

  const ProcessResult cli =
      input.direction == Direction::Conversion ? school.cliExportar() : school.cliImportar();
  EXPECT_EQ(cli.exitCode, 1);
  EXPECT_EQ(cli.err, message + "\n");
  EXPECT_EQ(cli.out, "");
  EXPECT_EQ(changedFiles(before, school.state()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(catalogue, bad_input_test, ::testing::ValuesIn(catalogue()),
                         [](const auto& param) { return param.param.name; });

// The school itself is fine: both directions go through, so every refusal above is the bad input's.
TEST(bad_input_test_school, goes_through_both_directions) {
  const School school;
  const ProcessResult exportar = school.cliExportar();
  EXPECT_EQ(exportar.exitCode, 0) << exportar.err;
  const ProcessResult importar = school.cliImportar();
  EXPECT_EQ(importar.exitCode, 0) << importar.err;
  EXPECT_NE(readBytes(school.output()).find("<dato nombre_dato=\"N_DIASEMANA\">1</dato>"), std::string::npos);
}

}  // namespace
}  // namespace vadelux::testing
