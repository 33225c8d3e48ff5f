#include "export/ExportTables.h"

#include "common/Error.h"
#include "common/Text.h"
#include "tables/WorkingFolder.h"

namespace vadelux::exporting {
namespace {

tables::DbfTable openTable(const std::filesystem::path& folder, const std::string& name,
                           std::vector<tables::TableLock>& locks) {
  const auto file = tables::findIgnoringCase(folder, name + ".DBF");
  auto lock = file ? tables::TableLock::tryLock(*file, tables::TableLock::Mode::Shared) : std::nullopt;
  if (!lock) {
    throw Error("No existe la tabla " + name + ".DBF en la carpeta de trabajo " + folder.string() +
                ". Importe de nuevo el XML de Rayuela o resuelva el horario en Horvane.");
  }
  locks.push_back(std::move(*lock));
  return tables::DbfTable::open(*file);
}

bool isBlank(const std::string& s) {
  return text::trimView(s).empty();
}

// Indexes a table by one field: the first row of each non-empty value.
template <typename Value, typename MakeValue>
std::unordered_map<std::string, Value> firstRows(const tables::DbfTable& table, std::string_view keyField,
                                                 MakeValue makeValue) {
  std::unordered_map<std::string, Value> index;
  const std::size_t key = table.fieldIndex(keyField);
  for (std::size_t row = 0; row < table.rowCount(); ++row) {
    std::string k = table.text(row, key);
    if (!k.empty()) {
      index.try_emplace(std::move(k), makeValue(row));
    }
  }
  return index;
}

}  // namespace

ExportTables::ExportTables(const std::filesystem::path& folder)
    : soluc_(openTable(folder, "SOLUC", locks_)),
      grupost_(openTable(folder, "GRUPOST", locks_)),
      cursost_(openTable(folder, "CURSOST", locks_)),
      proft_(openTable(folder, "PROFT", locks_)),
      aulat_(openTable(folder, "AULAT", locks_)),
      asignomt_(openTable(folder, "ASIGNOMT", locks_)),
      diashorast_(openTable(folder, "DIASHORAST", locks_)),
      asigt_(openTable(folder, "ASIGT", locks_)) {
  // Every field the export reads must be there before anything is built.
  for (const char* f : {"PROF", "DIA", "HORA", "ASIG", "CODGRUPO", "TAREA", "AULA"}) {
    soluc_.fieldIndex(f);
  }
  for (const char* f : {"X_EMPLEADO", "F_TOMAPOS", "ABREV"}) {
    proft_.fieldIndex(f);
  }

  const std::size_t prof = soluc_.fieldIndex("PROF");
  for (std::size_t row = 0; row < soluc_.rowCount(); ++row) {
    std::string teacher = soluc_.text(row, prof);
    if (!teacher.empty()) {
      lessonsByTeacher_[std::move(teacher)].push_back(row);
    }
  }

  const std::size_t dia = diashorast_.fieldIndex("DIA");
  const std::size_t coddiho = diashorast_.fieldIndex("CODDIHO");
  const std::size_t desde = diashorast_.fieldIndex("HORADESDE");
  const std::size_t hasta = diashorast_.fieldIndex("HORAHASTA");
  slots_ = firstRows<Slot>(diashorast_, "DIHO", [&](std::size_t row) {
    return Slot{diashorast_.text(row, dia), diashorast_.text(row, coddiho), diashorast_.text(row, desde),
                diashorast_.text(row, hasta)};
  });

  const std::size_t casig = asigt_.fieldIndex("CASIG");
  const std::size_t cgrup = asigt_.fieldIndex("CGRUP");
  const std::size_t clave = asigt_.fieldIndex("CLAVE");
  const std::size_t claveCurso = asigt_.fieldIndex("CLAVECURSO");
  for (std::size_t row = 0; row < asigt_.rowCount(); ++row) {
    std::string subject = asigt_.text(row, casig);
    std::string group = asigt_.text(row, cgrup);
    if (!subject.empty() && !group.empty()) {
      subjectKeys_.try_emplace(subject + '\0' + group,
                               SubjectKeys{asigt_.text(row, clave), asigt_.text(row, claveCurso)});
    }
  }

  const std::size_t codtarea = asignomt_.fieldIndex("CODTAREA");
  activityCodes_ = firstRows<std::string>(asignomt_, "COD",
                                          [&](std::size_t row) { return asignomt_.text(row, codtarea); });

  const std::size_t unitKey = grupost_.fieldIndex("CLAVE");
  unitKeys_ =
      firstRows<std::string>(grupost_, "ABREV", [&](std::size_t row) { return grupost_.text(row, unitKey); });

  if (aulat_.hasField("DEPCENTRO")) {
    const std::size_t depcentro = aulat_.fieldIndex("DEPCENTRO");
    roomKeys_ =
        firstRows<std::string>(aulat_, "ABREV", [&](std::size_t row) { return aulat_.text(row, depcentro); });
  }
}

const std::vector<std::size_t>& ExportTables::lessonsOf(const std::string& abbreviation) const {
  static const std::vector<std::size_t> kNone;
  const auto it = lessonsByTeacher_.find(abbreviation);
  return it == lessonsByTeacher_.end() ? kNone : it->second;
}

const Slot* ExportTables::slot(const std::string& diho) const {
  const auto it = slots_.find(diho);
  return it == slots_.end() ? nullptr : &it->second;
}

const SubjectKeys* ExportTables::subjectKeys(const std::string& subject, const std::string& group) const {
  if (subject.empty() || group.empty()) {
    return nullptr;
  }
  const auto it = subjectKeys_.find(subject + '\0' + group);
  return it == subjectKeys_.end() ? nullptr : &it->second;
}

const std::string* ExportTables::activityCode(const std::string& subject) const {
  const auto it = activityCodes_.find(subject);
  return it == activityCodes_.end() ? nullptr : &it->second;
}

const std::string* ExportTables::unitKey(const std::string& group) const {
  const auto it = unitKeys_.find(group);
  return it == unitKeys_.end() ? nullptr : &it->second;
}

const std::string* ExportTables::roomKey(const std::string& room) const {
  const auto it = roomKeys_.find(room);
  return it == roomKeys_.end() || isBlank(it->second) ? nullptr : &it->second;
}

}  // namespace vadelux::exporting
