#include "Tdbf.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vadelux::interop {
namespace {

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(line);
  while (std::getline(in, part, separator)) {
    parts.push_back(part);
  }
  if (!line.empty() && line.back() == separator) {
    parts.emplace_back();
  }
  return parts;
}

// The text after "word " when `line` starts with it.
std::optional<std::string> after(const std::string& line, const std::string& word) {
  if (line.rfind(word + " ", 0) != 0) {
    return std::nullopt;
  }
  return line.substr(word.size() + 1);
}

}  // namespace

std::vector<std::string> TdbfTable::column(std::size_t field) const {
  std::vector<std::string> values;
  for (const auto& row : rows) {
    values.push_back(field < row.size() ? row[field] : "<missing>");
  }
  return values;
}

ProgramResult runTdbf(const std::vector<std::string>& args, const std::filesystem::path& input) {
  std::vector<std::string> full{VADELUX_TDBFDUMP};
  full.insert(full.end(), args.begin(), args.end());
  // A damaged index can send TDbf round in circles: give up after a minute.
  return runProgram(full, input, 60);
}

std::optional<TdbfTable> readWithTdbf(const std::filesystem::path& dir, const std::string& file,
                                      const std::string& tag) {
  std::vector<std::string> args{"dump", dir.string(), file};
  if (!tag.empty()) {
    args.push_back(tag);
  }
  const ProgramResult run = runTdbf(args);
  if (run.exitCode != 0) {
    ADD_FAILURE() << "tdbfdump dump " << file << " exited " << run.exitCode << ": " << run.err << run.out;
    return std::nullopt;
  }
  TdbfTable table;
  std::istringstream lines(run.out);
  std::string line;
  while (std::getline(lines, line)) {
    if (auto rest = after(line, "rec")) {
      std::vector<std::string> values = split(*rest, '\t');
      table.recordNumbers.push_back(static_cast<std::uint32_t>(std::stoul(values.front())));
      values.erase(values.begin());
      table.rows.push_back(std::move(values));
    } else if (auto level = after(line, "level")) {
      table.level = std::stoi(*level);
    } else if (auto language = after(line, "language")) {
      table.language = *language;
    } else if (auto records = after(line, "records")) {
      table.records = std::stoul(*records);
    } else if (auto fieldLine = after(line, "field")) {
      table.fields.push_back(*fieldLine);
    } else if (auto index = after(line, "index")) {
      table.indexes.push_back(*index);
    } else if (auto order = after(line, "order")) {
      table.order = *order;
    } else {
      ADD_FAILURE() << "unexpected line from tdbfdump: " << line;
    }
  }
  return table;
}

std::optional<std::vector<std::uint32_t>> seekWithTdbf(const std::filesystem::path& dir,
                                                       const std::string& file, const std::string& tag,
                                                       const std::vector<std::int64_t>& keys) {
  std::vector<std::string> args{"seek", dir.string(), file, tag};
  for (std::int64_t key : keys) {
    args.push_back(std::to_string(key));
  }
  const ProgramResult run = runTdbf(args);
  if (run.exitCode != 0) {
    ADD_FAILURE() << "tdbfdump seek " << file << " exited " << run.exitCode << ": " << run.err << run.out;
    return std::nullopt;
  }
  std::vector<std::uint32_t> found;
  std::istringstream lines(run.out);
  std::string line;
  while (std::getline(lines, line)) {
    const std::vector<std::string> parts = split(line, ' ');
    if (parts.size() != 3 || parts[0] != "seek") {
      ADD_FAILURE() << "unexpected line from tdbfdump: " << line;
      return std::nullopt;
    }
    found.push_back(parts[2] == "none" ? 0 : static_cast<std::uint32_t>(std::stoul(parts[2])));
  }
  return found;
}

bool createWithTdbf(const std::filesystem::path& dir, const std::string& file, int level,
                    const std::string& tag, const std::vector<std::string>& fields,
                    const std::vector<std::vector<std::string>>& rows) {
  std::string input;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      input += (i == 0 ? "" : "\t") + row[i];
    }
    input += '\n';
  }
  const std::filesystem::path inputFile = dir / (file + ".rows");
  writeFile(inputFile, input);
  std::vector<std::string> args{"create", dir.string(), file, std::to_string(level)};
  if (!tag.empty()) {
    args.insert(args.end(), {"-i", tag});
  }
  args.insert(args.end(), fields.begin(), fields.end());
  const ProgramResult run = runTdbf(args, inputFile);
  std::filesystem::remove(inputFile);
  if (run.exitCode != 0) {
    ADD_FAILURE() << "tdbfdump create " << file << " exited " << run.exitCode << ": " << run.err << run.out;
    return false;
  }
  return true;
}

}  // namespace vadelux::interop
