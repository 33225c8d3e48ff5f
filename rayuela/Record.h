// One record of a Rayuela data group: the texts of its direct `dato` children, by position.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vadelux::rayuela {

class Record {
 public:
  Record() = default;
  explicit Record(std::vector<std::string> fields) : fields_(std::move(fields)) {}

  std::size_t fieldCount() const { return fields_.size(); }

  // Only records with at least two fields are used by the guarded loops.
  bool passesGuard() const { return fields_.size() >= 2; }

  // The text of the field at `position` (from 0) in Windows-1252, as the document gives it.
  // A position the record does not have reads as empty text.
  const std::string& field(std::size_t position) const;

  // The same, with bytes up to the blank removed at both ends.
  std::string trimmedField(std::size_t position) const;

 private:
  std::vector<std::string> fields_;
};

}  // namespace vadelux::rayuela
