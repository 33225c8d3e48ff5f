// Spanish wording of libxml2's parse errors.
#pragma once

#include <string>

namespace vadelux::rayuela::xml {

// The reason for parse error `code` in Spanish; libxml2's own text for codes without a wording.
std::string spanishReason(int code, const char* libxmlMessage);

}  // namespace vadelux::rayuela::xml
