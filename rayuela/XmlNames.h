// Checks and conversions for what the export writes into a document.
#pragma once

#include <string>
#include <string_view>

namespace vadelux::rayuela::xml {

// `name` as a C string when it is a valid XML element or attribute name; throws vadelux::Error otherwise.
std::string checkedName(std::string_view name);

// Windows-1252 text as UTF-8 for the document. Control bytes that XML 1.0 cannot hold (all below the
// blank except tab, line feed and carriage return) become '?'.
std::string documentText(std::string_view cp1252);

}  // namespace vadelux::rayuela::xml
