// A private temporary folder for the fuzz targets, whose readers take a path rather than bytes.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vadelux::fuzz {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vadelux-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }

  // Writes `size` bytes to the file `name` of the folder and returns its path.
  std::filesystem::path write(const std::string& name, const std::uint8_t* data, std::size_t size) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
      std::perror("write");
      std::abort();
    }
    return file;
  }

  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// One folder for the whole fuzzing process: making one per input would cost more than the parse.
inline const ScratchFolder& scratch() {
  static const ScratchFolder folder;
  return folder;
}

// Stops the process so that the fuzzer keeps the input, with what was wrong.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "propiedad incumplida: %s\n", what);
  std::abort();
}

}  // namespace vadelux::fuzz
