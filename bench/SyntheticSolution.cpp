#include "bench/SyntheticSolution.h"

#include <algorithm>
#include <string>
#include <vector>

#include "bench/SeededRandom.h"
#include "common/Error.h"
#include "tables/DbfTable.h"
#include "tables/DbfWriter.h"
#include "tests/support/SolucLayout.h"

namespace vadelux::bench {
namespace {

constexpr unsigned kLessonsPerLoad = 4;  // ASIGT gives every subject four one-hour lessons
constexpr unsigned kTasksPerTeacher = 2;

using testing::solucLayout;

struct Lesson {
  std::string prof;
  std::int64_t dia = 0;
  std::int64_t hora = 0;
  std::string asig;
  std::string codgrupo;
  std::string tarea;
  std::string aula;
};

struct Load {
  std::string subject;
  std::string group;
};

struct Task {
  std::string code;      // ASIGNOMT.COD
  std::string codTarea;  // ASIGNOMT.CODTAREA
};

struct GridSlot {
  std::int64_t dia;
  std::int64_t hora;
};

tables::DbfTable openTable(const std::filesystem::path& folder, const char* name) {
  const auto file = folder / (std::string(name) + ".DBF");
  if (!std::filesystem::exists(file)) {
    throw Error("No existe " + file.string() + ": convierta antes el archivo de Rayuela.");
  }
  return tables::DbfTable::open(file);
}

}  // namespace

SolutionCounts writeSyntheticSolution(const std::filesystem::path& workingFolder, std::uint64_t seed,
                                      unsigned lessonsPerTeacher) {
  const auto proft = openTable(workingFolder, "PROFT");
  const auto asigt = openTable(workingFolder, "ASIGT");
  const auto asignomt = openTable(workingFolder, "ASIGNOMT");
  const auto diashorast = openTable(workingFolder, "DIASHORAST");
  const auto aulat = openTable(workingFolder, "AULAT");

  std::vector<Load> loads;
  for (std::size_t row = 0; row < asigt.rowCount(); ++row) {
    loads.push_back({asigt.text(row, "CASIG"), asigt.text(row, "CGRUP")});
  }
  std::vector<Task> tasks;
  for (std::size_t row = 0; row < asignomt.rowCount(); ++row) {
    if (asignomt.text(row, "ESTAREA") == "T") {
      tasks.push_back({asignomt.text(row, "COD"), asignomt.text(row, "CODTAREA")});
    }
  }
  std::vector<GridSlot> grid;
  for (std::size_t row = 0; row < diashorast.rowCount(); ++row) {
    grid.push_back({diashorast.integer(row, diashorast.fieldIndex("DIA")).value_or(0),
                    diashorast.integer(row, diashorast.fieldIndex("HORA")).value_or(0)});
  }
  std::vector<std::string> rooms;
  for (std::size_t row = 0; row < aulat.rowCount(); ++row) {
    rooms.push_back(aulat.text(row, "ABREV"));
  }
  if (loads.empty() || grid.empty()) {
    throw Error("Las tablas de " + workingFolder.string() +
                " no tienen cargas (ASIGT) o tramos (DIASHORAST).");
  }

  SeededRandom random(seed);
  SolutionCounts counts;
  std::vector<Lesson> lessons;
  lessons.reserve(proft.rowCount() * (lessonsPerTeacher + 2));
  const std::size_t abrev = proft.fieldIndex("ABREV");
  for (std::size_t teacher = 0; teacher < proft.rowCount(); ++teacher) {
    const std::string prof = proft.text(teacher, abrev);
    const std::size_t wanted =
        lessonsPerTeacher + random.below(5) - std::min<std::size_t>(2, lessonsPerTeacher);
    auto place = [&](Lesson lesson) {
      const GridSlot& slot = random.pick(grid);
      lesson.prof = prof;
      lesson.dia = random.percent(3) ? 0 : slot.dia;
      lesson.hora = slot.hora;
      if (!rooms.empty() && random.percent(80)) {
        lesson.aula = random.pick(rooms);
        ++counts.withRoom;
      }
      if (lesson.dia == 0) {
        ++counts.dayZero;
      }
      lessons.push_back(std::move(lesson));
    };
    std::size_t given = 0;
    for (unsigned t = 0; t < kTasksPerTeacher && !tasks.empty() && given < wanted; ++t, ++given) {
      const Task& task = random.pick(tasks);
      Lesson lesson;
      lesson.asig = task.code;
      // Half the tasks carry their code; the others leave it to the subject table.
      lesson.tarea = random.percent(50) ? task.codTarea : std::string();
      place(std::move(lesson));
      if (lessons.back().dia != 0) {
        ++counts.taskLessons;
      }
    }
    while (given < wanted) {
      const Load& load = random.pick(loads);
      for (unsigned k = 0; k < kLessonsPerLoad && given < wanted; ++k, ++given) {
        Lesson lesson;
        lesson.asig = load.subject;
        lesson.codgrupo = load.group;
        place(std::move(lesson));
      }
    }
    ++counts.teachers;
  }
  // The generator writes its solution by place in the grid, not by teacher.
  std::stable_sort(lessons.begin(), lessons.end(), [](const Lesson& a, const Lesson& b) {
    return a.dia != b.dia ? a.dia < b.dia : a.hora < b.hora;
  });

  auto table = tables::DbfWriter::create(workingFolder / "SOLUC.DBF", solucLayout());
  for (const auto& lesson : lessons) {
    table.append();
    table.setText("PROF", lesson.prof);
    table.setInteger("DIA", lesson.dia);
    table.setInteger("HORA", lesson.hora);
    table.setText("ASIG", lesson.asig);
    table.setText("CODGRUPO", lesson.codgrupo);
    table.setText("TAREA", lesson.tarea);
    table.setText("AULA", lesson.aula);
    table.post();
  }
  table.close();
  counts.rows = lessons.size();
  return counts;
}

}  // namespace vadelux::bench
