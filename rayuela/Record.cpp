#include "rayuela/Record.h"

#include "common/Text.h"

namespace vadelux::rayuela {

const std::string& Record::field(std::size_t position) const {
  static const std::string kEmpty;
  return position < fields_.size() ? fields_[position] : kEmpty;
}

std::string Record::trimmedField(std::size_t position) const {
  return text::trim(field(position));
}

}  // namespace vadelux::rayuela
