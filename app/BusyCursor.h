// Shows the hourglass over the whole program while it lives; the normal cursor returns on every path out.
#pragma once

namespace vadelux::app {

class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace vadelux::app
