// vadelux-cli: both directions of the converter without a window, for scripts and batch use.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "Version.h"
#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/NivelexCommand.h"

namespace {

constexpr const char* kUsage =
    "Uso: vadelux-cli ORDEN ARCHIVO [OPCIONES]\n"
    "\n"
    "Convierte datos entre Rayuela (XML) y las tablas de trabajo de Horvane (dBase).\n"
    "\n"
    "\xC3\x93rdenes:\n"
    "  exportar ARCHIVO.xml  [--htemp DIR] [--programa DIR] [--plantilla C\xC3\x93"
    "DIGO] [--json]\n"
    "        crea las nueve tablas de trabajo a partir de un archivo de Rayuela\n"
    "  importar ARCHIVO.xml  [--htemp DIR] [--json]\n"
    "        escribe ResultadoHorvanARCHIVO.xml con los horarios de la soluci\xC3\xB3n (SOLUC)\n"
    "  validar ARCHIVO.xml   [--programa DIR] [--plantilla C\xC3\x93"
    "DIGO] [--json]\n"
    "        informa de lo que har\xC3\xAD"
    "a exportar y de lo que parece mal, sin escribir nada\n"
    "  nivelex ARCHIVO.csv   [--programa DIR]\n"
    "        crea NIVELEX.DBF a partir de un CSV X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n"
    "\n"
    "Opciones:\n"
    "  --htemp DIR      carpeta de trabajo (por defecto VADELUX_HTEMP, o C:\\HTEMP de Wine)\n"
    "  --programa DIR   carpeta del programa, donde est\xC3\xA1 NIVELEX.DBF (por defecto, la de este "
    "programa)\n"
    "  --plantilla C    plantilla horaria que se usa cuando el archivo tiene varias\n"
    "  --json           resumen en JSON\n"
    "  --help           muestra esta ayuda y termina\n"
    "  --version        muestra la versi\xC3\xB3n y termina\n"
    "\n"
    "Salida: 0 si todo fue bien, 1 si el proceso fall\xC3\xB3 (el mensaje va a la salida de errores),\n"
    "2 si la orden est\xC3\xA1 mal escrita.\n";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string_view command = args.front();
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("vadelux-cli %s\n", vadelux::kVersion);
    return 0;
  }
  try {
    if (command == "exportar") {
      return vadelux::cli::runExportar(args);
    }
    if (command == "importar") {
      return vadelux::cli::runImportar(args);
    }
    if (command == "validar") {
      return vadelux::cli::runValidar(args);
    }
    if (command == "nivelex") {
      return vadelux::cli::runNivelex(args);
    }
    std::fprintf(stderr, "Orden desconocida: %s\n\n%s", args.front().c_str(), kUsage);
    return 2;
  } catch (const vadelux::cli::UsageError& e) {
    std::fprintf(stderr, "%s\n\n%s", e.what(), kUsage);
    return 2;
  }
}
