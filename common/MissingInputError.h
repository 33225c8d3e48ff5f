// A run stopped before touching anything because something it needs is missing. The message is the
// program's fixed text for that case.
#pragma once

#include <string>

#include "common/Error.h"

namespace vadelux {

inline constexpr const char* kNoFileMessage = "No existe archivo";
inline constexpr const char* kNivelexMissingMessage =
    "ATENCI\xC3\x93N - NIVELEX.DBF No encontrado - Reinstale VADELUX";
inline constexpr const char* kPeriodosMissingMessage =
    "ATENCI\xC3\x93N - PERIODOS.DBF No encontrado - Importe de nuevo XML de RAYUELA.";
inline constexpr const char* kProcesoFinalizado = "Proceso finalizado";

class MissingInputError : public Error {
 public:
  enum class What { XmlFile, Nivelex, Periodos };
  MissingInputError(What what, const std::string& message) : Error(message), what_(what) {}
  What missing() const { return what_; }

 private:
  What what_;
};

}  // namespace vadelux
