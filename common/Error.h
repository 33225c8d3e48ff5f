// The one error type that the core throws. Its message is UTF-8 Spanish text meant for the user.
#pragma once

#include <stdexcept>
#include <string>

namespace vadelux {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vadelux
