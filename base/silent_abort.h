#pragma once
// The silent abort: a failure that carries no message. It ends an operation like any other
// error (clean-up still runs), and the application's top level discards it without showing
// anything. It deliberately does not derive from std::exception, so that a handler that
// reports std::exception messages never shows it by accident.

namespace tesmar {

struct SilentAbort {};

// Ends the current operation silently.
[[noreturn]] inline void Abort() { throw SilentAbort{}; }

}  // namespace tesmar
