#include "export/AgregarHorariosProfesores.h"

#include "common/Text.h"
#include "export/MinutosDelDia.h"

namespace vadelux::exporting {
namespace {

// A day that is blank reads as 0, as a blank number does in the database layer.
std::int64_t dayOf(const tables::DbfTable& solution, std::size_t row, std::size_t diaField) {
  return solution.integer(row, diaField).value_or(0);
}

void appendField(rayuela::Element& record, std::string_view name, std::string_view value) {
  rayuela::Element field = record.appendElement("dato");
  field.setAttribute("nombre_dato", name);
  field.setText(value);
}

bool isBlank(std::string_view s) {
  return text::trimView(s).empty();
}

}  // namespace

void AgregarActividad(rayuela::Element teacherGroup, std::size_t ordinal, std::size_t solutionRow,
                      const Period& period, const ExportTables& tables, ExportCounts& counts) {
  const tables::DbfTable& solution = tables.solution();
  rayuela::Element record = teacherGroup.appendElement("grupo_datos");
  record.setAttribute("seq", "ACTIVIDAD_" + std::to_string(ordinal));

  const std::string subject = solution.text(solutionRow, "ASIG");
  const std::string group = solution.text(solutionRow, "CODGRUPO");
  const std::string task = solution.text(solutionRow, "TAREA");

  const SubjectKeys* keys = tables.subjectKeys(subject, group);
  if (keys == nullptr) {
    ++counts.subjectNotFound;
  }

  std::string activity = task;
  if (isBlank(task)) {
    const std::string* code = subject.empty() ? nullptr : tables.activityCode(subject);
    activity = code != nullptr ? *code : std::string();
  }

  const std::string diho =
      solution.text(solutionRow, "DIA") +
      std::to_string(solution.integer(solutionRow, solution.fieldIndex("HORA")).value_or(0));
  const Slot* slot = tables.slot(diho);
  if (slot == nullptr) {
    ++counts.slotNotFound;
  }

  // The room goes back as Rayuela's key when the room table knows the code.
  std::string room = solution.text(solutionRow, "AULA");
  if (isBlank(room)) {
    room.clear();
  } else if (const std::string* key = tables.roomKey(room)) {
    room = *key;
  }

  const std::string* unit = group.empty() ? nullptr : tables.unitKey(group);
  if (unit == nullptr) {
    ++counts.unitNotFound;
  }

  const std::string start = slot != nullptr ? slot->horadesde : std::string();
  const std::string end = slot != nullptr ? slot->horahasta : std::string();
  if (isBlank(activity)) {
    activity = "1";
  }

  appendField(record, "N_DIASEMANA", slot != nullptr ? slot->dia : std::string());
  appendField(record, "X_TRAMO", slot != nullptr ? slot->coddiho : std::string());
  appendField(record, "X_DEPENDENCIA", room);
  appendField(record, "X_UNIDAD", unit != nullptr ? *unit : std::string());
  appendField(record, "X_OFERTAMATRIG", keys != nullptr ? keys->claveCurso : std::string());
  appendField(record, "X_MATERIAOMG", keys != nullptr ? keys->clave : std::string());
  appendField(record, "F_INICIO", period.start);
  appendField(record, "F_FIN", period.end);
  appendField(record, "N_HORINI", std::to_string(MinutosDelDia(start)));
  appendField(record, "N_HORFIN", std::to_string(MinutosDelDia(end)));
  appendField(record, "X_ACTIVIDAD", activity);
  ++counts.activities;
}

void AgregarHorariosProfesores(rayuela::Element horariosRegulares, const Period& period,
                               const ExportTables& tables, ExportCounts& counts,
                               const std::function<void()>& teacherDone) {
  const tables::DbfTable& teachers = tables.teachers();
  const tables::DbfTable& solution = tables.solution();
  const std::size_t diaField = solution.fieldIndex("DIA");
  const std::size_t xEmpleado = teachers.fieldIndex("X_EMPLEADO");
  const std::size_t fTomapos = teachers.fieldIndex("F_TOMAPOS");
  const std::size_t abrev = teachers.fieldIndex("ABREV");

  for (std::size_t teacher = 0; teacher < teachers.rowCount(); ++teacher) {
    rayuela::Element group = horariosRegulares.appendElement("grupo_datos");
    group.setAttribute("seq", "HORARIO_REGULAR_PROFESOR_" + std::to_string(teacher + 1));

    const auto& lessons = tables.lessonsOf(teachers.text(teacher, abrev));
    std::size_t records = 0;
    for (const std::size_t row : lessons) {
      if (dayOf(solution, row, diaField) != 0) {
        ++records;
      }
    }
    group.setAttribute("registros", std::to_string(records));
    appendField(group, "X_EMPLEADO", teachers.text(teacher, xEmpleado));
    appendField(group, "F_TOMAPOS", teachers.text(teacher, fTomapos));

    std::size_t ordinal = 1;
    for (const std::size_t row : lessons) {
      if (dayOf(solution, row, diaField) == 0) {
        ++counts.skippedDayZero;
        continue;
      }
      AgregarActividad(group, ordinal++, row, period, tables, counts);
    }
    ++counts.teachers;
    if (teacherDone) {
      teacherDone();
    }
  }
}

}  // namespace vadelux::exporting
