// Spanish wording of the operating system's file errors, for the messages of the dBase layer.
#pragma once

#include <string>
#include <system_error>

namespace vadelux::tables {

std::string reasonOf(const std::error_code& error);

}  // namespace vadelux::tables
