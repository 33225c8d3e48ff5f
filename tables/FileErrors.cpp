#include "tables/FileErrors.h"

#include <cerrno>

namespace vadelux::tables {

std::string reasonOf(const std::error_code& error) {
  if (error.category() == std::generic_category() || error.category() == std::system_category()) {
    switch (error.value()) {
      case EACCES:
      case EPERM:
        return "no hay permiso";
      case EROFS:
        return "el disco es de solo lectura";
      case ENOSPC:
        return "no queda espacio en el disco";
      case EDQUOT:
        return "se ha superado la cuota de disco";
      case EBUSY:
      case ETXTBSY:
        return "el archivo está en uso";
      case ENOENT:
        return "no existe";
      case ENOTDIR:
        return "no es una carpeta";
      case EXDEV:
        return "está en otro sistema de archivos";
      default:
        break;
    }
  }
  return "error del sistema " + std::to_string(error.value()) + " (" + error.message() + ")";
}

}  // namespace vadelux::tables
