#include "export/ExportRun.h"

#include <langinfo.h>
#include <locale.h>

#include <ctime>
#include <system_error>

#include "common/Text.h"
#include "rayuela/Document.h"
#include "rayuela/StreamingSave.h"
#include "tables/TableLock.h"
#include "tables/WorkingFolder.h"

namespace vadelux::exporting {
namespace {

constexpr std::size_t kYearCodeLength = 5;

// Owns a locale object made from the user's settings.
class UserTimeLocale {
 public:
  UserTimeLocale() : locale_(::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr))) {}
  UserTimeLocale(const UserTimeLocale&) = delete;
  UserTimeLocale& operator=(const UserTimeLocale&) = delete;
  ~UserTimeLocale() {
    if (locale_ != static_cast<locale_t>(nullptr)) {
      ::freelocale(locale_);
    }
  }
  locale_t get() const { return locale_; }

 private:
  locale_t locale_;
};

Period readPeriod(const std::filesystem::path& folder) {
  const auto file = tables::findIgnoringCase(folder, "PERIODOS.DBF");
  if (!file) {
    throw MissingInputError(MissingInputError::What::Periodos, kPeriodosMissingMessage);
  }
  const auto lock = tables::TableLock::tryLock(*file, tables::TableLock::Mode::Shared);
  if (!lock) {
    throw MissingInputError(MissingInputError::What::Periodos, kPeriodosMissingMessage);
  }
  const auto table = tables::DbfTable::open(*file);
  Period period;
  if (table.rowCount() > 0) {
    period.start = table.text(0, "FECINI");
    period.end = table.text(0, "FECFIN");
  }
  return period;
}

}  // namespace

std::filesystem::path outputFileFor(const std::filesystem::path& xmlFile) {
  return xmlFile.parent_path() / ("ResultadoHorvan" + xmlFile.filename().string());
}

std::string currentFecha() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  const UserTimeLocale locale;
  std::string format = "%d/%m/%Y %H:%M:%S";  // a Spanish desktop's short date and long time
  if (locale.get() != static_cast<locale_t>(nullptr)) {
    const std::string name = ::nl_langinfo_l(_NL_LOCALE_NAME(LC_TIME), locale.get());
    if (name != "C" && name != "POSIX") {
      format = std::string(::nl_langinfo_l(D_FMT, locale.get())) + " " + ::nl_langinfo_l(T_FMT, locale.get());
    }
  }
  char buffer[128] = {};
  const std::size_t n = locale.get() != static_cast<locale_t>(nullptr)
                            ? ::strftime_l(buffer, sizeof buffer, format.c_str(), &local, locale.get())
                            : std::strftime(buffer, sizeof buffer, format.c_str(), &local);
  // The text goes into the document as Windows-1252 like every other value.
  return text::toWindows1252(std::string(buffer, n));
}

ExportResult runExport(const ExportRequest& request) {
  std::error_code ec;
  if (request.xmlFile.empty() || !std::filesystem::is_regular_file(request.xmlFile, ec)) {
    throw MissingInputError(MissingInputError::What::XmlFile, kNoFileMessage);
  }
  const ExportTables tables(request.workingFolder);
  // Only the envelope, the year code and what stands around the root are needed: the records are left out.
  auto doc = rayuela::Document::loadEnvelope(request.xmlFile);
  const auto firstChild = doc.dataBlockFirstChildText();
  if (!firstChild) {
    throw Error("El archivo " + request.xmlFile.string() +
                " no tiene c\xC3\xB3"
                "digo de a\xC3\xB1o acad\xC3\xA9mico: su bloque de datos est\xC3\xA1 vac\xC3\xAD"
                "o.");
  }
  ExportResult result;
  result.yearCode = std::string(text::left(*firstChild, kYearCodeLength));
  const Period period = readPeriod(request.workingFolder);

  rayuela::Element servicio = doc.replaceRoot("SERVICIO");
  servicio.setAttribute("modulo", "HORARIOS");
  servicio.setAttribute("tipo", "I");
  servicio.setAttribute("autor", "HORARIOS");
  servicio.setAttribute("fecha", request.fecha.empty() ? currentFecha() : request.fecha);
  rayuela::Element bloque = servicio.appendElement("BLOQUE_DATOS");
  rayuela::Element anno = bloque.appendElement("grupo_datos");
  anno.setAttribute("seq", "ANNO_ACADEMICO");
  rayuela::Element cAnno = anno.appendElement("dato");
  cAnno.setAttribute("nombre_dato", "C_ANNO");
  cAnno.setText(result.yearCode);
  rayuela::Element horarios = bloque.appendElement("grupo_datos");
  horarios.setAttribute("seq", "HORARIOS_REGULARES");
  horarios.setAttribute("registros", std::to_string(tables.teachers().rowCount()));

  // Each teacher group goes to the file as soon as it is complete and is freed; the file takes the
  // output's place only when the last one is written.
  result.outputFile = outputFileFor(request.xmlFile);
  rayuela::StreamingSave save(doc, horarios, result.outputFile);
  AgregarHorariosProfesores(horarios, period, tables, result.counts, [&save] { save.writePending(); });
  save.commit();
  return result;
}

}  // namespace vadelux::exporting
