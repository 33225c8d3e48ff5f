#include "cli/TemplateList.h"

#include "common/Text.h"

namespace vadelux::cli {

std::string describeTemplates(const std::vector<rayuela::Record>& templates) {
  std::string out;
  for (const auto& t : templates) {
    out += "  " + text::toUtf8(t.trimmedField(0)) + "\t" + text::toUtf8(t.trimmedField(1)) + "\t(" +
           text::toUtf8(t.trimmedField(2)) + " - " + text::toUtf8(t.trimmedField(3)) + ")\n";
  }
  return out;
}

}  // namespace vadelux::cli
