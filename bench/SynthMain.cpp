// vadelux-synth: writes a synthetic school (Rayuela file and NIVELEX) or a solution for its tables.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/SyntheticSchool.h"
#include "bench/SyntheticSolution.h"
#include "common/Error.h"
#include "common/Numbers.h"

namespace {

constexpr const char* kUsage =
    "Uso:\n"
    "  vadelux-synth centro CARPETA [--escala N] [--semilla S]\n"
    "        escribe CARPETA/centro.xml (Rayuela, ISO-8859-1), CARPETA/nivelex.csv y CARPETA/NIVELEX.DBF;\n"
    "        la escala 1 es un instituto grande y N multiplica profesores, unidades, cursos, materias y "
    "aulas\n"
    "  vadelux-synth soluc CARPETA [--semilla S] [--lecciones N]\n"
    "        escribe CARPETA/SOLUC.DBF a partir de las tablas que dej\xC3\xB3 la conversi\xC3\xB3n en "
    "CARPETA\n"
    "        (unas N lecciones por profesor, 25 si no se dice)\n";

struct Options {
  std::string command;
  std::string folder;
  unsigned scale = 1;
  std::uint64_t seed = 1;
  unsigned lessons = 25;
};

unsigned positive(const std::string& option, const std::string& value, std::int64_t max) {
  const auto n = vadelux::parseInteger(value, 1, max);
  if (!n) {
    throw std::invalid_argument(option + " espera un n\xC3\xBamero entre 1 y " + std::to_string(max) + ": '" +
                                value + "'");
  }
  return static_cast<unsigned>(*n);
}

Options parse(const std::vector<std::string>& args) {
  if (args.size() < 2 || (args[0] != "centro" && args[0] != "soluc")) {
    throw std::invalid_argument("orden desconocida o falta la carpeta");
  }
  Options options;
  options.command = args[0];
  options.folder = args[1];
  for (std::size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) {
      throw std::invalid_argument("falta el valor de " + args[i]);
    }
    const std::string& name = args[i];
    const std::string& value = args[i + 1];
    if (name == "--semilla") {
      options.seed = positive(name, value, 1'000'000'000'000);
    } else if (name == "--escala" && options.command == "centro") {
      options.scale = positive(name, value, 1000);
    } else if (name == "--lecciones" && options.command == "soluc") {
      options.lessons = positive(name, value, 200);
    } else {
      throw std::invalid_argument("opci\xC3\xB3n desconocida: " + name);
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  try {
    options = parse(args);
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "%s\n%s", e.what(), kUsage);
    return 2;
  }
  try {
    const std::filesystem::path folder = options.folder;
    if (options.command == "centro") {
      std::filesystem::create_directories(folder);
      const auto school = vadelux::bench::SyntheticSchool::generate(options.scale, options.seed);
      school.writeXml(folder / "centro.xml");
      school.writeNivelex(folder / "nivelex.csv", folder / "NIVELEX.DBF");
      const auto& c = school.counts();
      std::printf(
          "%s: escala %u, %zu profesores, %zu unidades, %zu cursos (%zu sin fila en NIVELEX), %zu materias "
          "(%zu nombres), %zu aulas, %zu actividades, %zu plantillas, %zu tramos\n",
          (folder / "centro.xml").string().c_str(), options.scale, c.teachers, c.units, c.courses,
          c.coursesWithoutLevel, c.subjects, c.distinctSubjectNames, c.rooms, c.activities, c.templates,
          c.slots);
    } else {
      const auto c = vadelux::bench::writeSyntheticSolution(folder, options.seed, options.lessons);
      std::printf(
          "%s: %zu lecciones de %zu profesores (%zu con d\xC3\xAD"
          "a 0, %zu de actividades)\n",
          (folder / "SOLUC.DBF").string().c_str(), c.rows, c.teachers, c.dayZero, c.taskLessons);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
