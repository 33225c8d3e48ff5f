// Writing a file so that a failure never leaves half of it: the bytes go to a temporary file beside the
// target, which is then renamed over it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vadelux {

// Whether a file's bytes are forced to the disk before it takes the target's place.
enum class FileSync {
  // fsync before the rename: after a crash the target holds the old file or the whole new one.
  BeforeRename,
  // No fsync: for files in a staging folder, which are synced all together before they are published.
  Deferred,
};

// Replaces `target` with `bytes`. Throws vadelux::Error (Spanish, naming the file) when the folder or the
// file cannot be written; the target is then unchanged and no temporary file is left behind.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         FileSync sync = FileSync::BeforeRename);

// A file written a piece at a time into a temporary file beside its target, which commit() renames over
// the target. Destroyed without commit(), or after any failure, it removes the temporary file and leaves
// the target as it was. Every error is a vadelux::Error (Spanish, naming the target).
class AtomicFileWriter {
 public:
  // Checks that the target can be replaced and creates the temporary file.
  explicit AtomicFileWriter(const std::filesystem::path& target, FileSync sync = FileSync::BeforeRename);
  AtomicFileWriter(AtomicFileWriter&& other) noexcept;
  AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();

  // Appends bytes; they are buffered and written in large blocks.
  void write(std::string_view bytes);

  // Writes what is buffered, syncs as asked, and renames the file over the target.
  void commit();

  const std::filesystem::path& target() const { return target_; }

 private:
  void flush();
  void put(std::string_view bytes);
  [[noreturn]] void fail(int err);
  void discard() noexcept;

  std::filesystem::path target_;
  std::string tempPath_;  // empty once committed or discarded
  int fd_ = -1;
  FileSync sync_ = FileSync::BeforeRename;
  std::string buffer_;
  std::uint64_t written_ = 0;  // bytes in the file
  std::uint64_t started_ = 0;  // bytes whose writing to the disk has been started
};

}  // namespace vadelux
