#pragma once
// The silent abort: a failure that carries no message. It ends the operation that raised it
// like any other error, and the application's top level discards it without showing anything.
#include <exception>

namespace tesmar {

class SilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return ""; }
};

}  // namespace tesmar
