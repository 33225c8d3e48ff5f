// Short codes that stay unique in a four-character field, letter case ignored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vadelux::conversion {

class UniqueCodes {
 public:
  // `stem` is how many characters of a taken candidate a numbered code keeps (3, or 2 for rooms);
  // `width` is the width of the field the codes are stored in.
  explicit UniqueCodes(std::size_t stem, std::size_t width = 4) : stem_(stem), width_(width) {}

  // The candidate when its stored form is free, otherwise the candidate's first min(stem, width - digits)
  // characters followed by the smallest number n from 1 whose stored form is free. Codes are compared
  // in the form the field stores (cut to its width, trailing blanks dropped) with letter case ignored.
  // The code returned is taken.
  std::string make(std::string_view candidate);

  // Whether a code was numbered or cut by make(): for reports.
  struct Outcome {
    bool numbered = false;
    bool cut = false;
  };
  const Outcome& lastOutcome() const { return last_; }

 private:
  std::string storedKey(std::string_view code) const;

  std::size_t stem_;
  std::size_t width_;
  std::unordered_set<std::string> taken_;
  // The smallest number not yet tried for each folded stem: numbers only ever get taken, so the
  // search never has to look below it again.
  std::unordered_map<std::string, unsigned> nextNumber_;
  Outcome last_;
};

// Texts compared as whole texts with letter case ignored (the subject names already used).
class TextSet {
 public:
  bool contains(std::string_view text) const;
  void add(std::string_view text);

 private:
  std::unordered_set<std::string> folded_;
};

}  // namespace vadelux::conversion
