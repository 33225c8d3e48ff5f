// Writing a whole file so that a failure never leaves half of it: the bytes go to a temporary file
// beside the target, which is then renamed over it.
#pragma once

#include <filesystem>
#include <string_view>

namespace vadelux {

// Replaces `target` with `bytes`. Throws vadelux::Error (Spanish, naming the file) when the folder or the
// file cannot be written; the target is then unchanged and no temporary file is left behind.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace vadelux
