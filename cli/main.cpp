// vadelux-cli: both directions of the converter without a window, for scripts and batch use.
#include <cstdio>
#include <string_view>

#include "Version.h"

namespace {

constexpr const char* kUsage =
    "Uso: vadelux-cli ORDEN [OPCIONES]\n"
    "\n"
    "Convierte datos entre Rayuela (XML) y las tablas de trabajo de Horvane (dBase).\n"
    "\n"
    "Opciones generales:\n"
    "  --help       muestra esta ayuda y termina\n"
    "  --version    muestra la versi\xC3\xB3n y termina\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("vadelux-cli %s\n", vadelux::kVersion);
    return 0;
  }
  std::fprintf(stderr, "Orden desconocida: %s\n\n%s", argv[1], kUsage);
  return 2;
}
