#include "conversion/UniqueCodes.h"

#include <algorithm>

#include "common/Error.h"
#include "common/Text.h"

namespace vadelux::conversion {

std::string UniqueCodes::storedKey(std::string_view code) const {
  std::string_view stored = text::left(code, width_);
  while (!stored.empty() && stored.back() == ' ') {
    stored.remove_suffix(1);
  }
  return text::foldCase(stored);
}

std::string UniqueCodes::make(std::string_view candidate) {
  last_ = Outcome{};
  last_.cut = candidate.size() > width_;
  std::string key = storedKey(candidate);
  if (taken_.insert(key).second) {
    return std::string(candidate);
  }
  last_.numbered = true;
  const std::string stemKey = text::foldCase(text::left(candidate, stem_));
  unsigned& n = nextNumber_.try_emplace(stemKey, 1u).first->second;
  for (;; ++n) {
    const std::string number = std::to_string(n);
    if (number.size() > width_) {
      // Every code of this stem that fits the field is taken.
      throw Error(
          "No quedan c\xC3\xB3"
          "digos libres de " +
          std::to_string(width_) + " caracteres para '" + text::toUtf8(candidate) + "'");
    }
    const std::size_t keep = std::min(stem_, width_ > number.size() ? width_ - number.size() : 0);
    std::string code = std::string(text::left(candidate, keep)) + number;
    if (taken_.insert(storedKey(code)).second) {
      ++n;
      return code;
    }
  }
}

bool TextSet::contains(std::string_view text) const {
  return folded_.count(text::foldCase(text)) != 0;
}

void TextSet::add(std::string_view text) {
  folded_.insert(text::foldCase(text));
}

}  // namespace vadelux::conversion
