#include "tables/TableLayout.h"

#include <ctime>

namespace vadelux::tables {

DbfDate DbfDate::today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) {
    return DbfDate{};
  }
  return DbfDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace vadelux::tables
