// What the quelvo-idle tests share: the program's path, a session bus of the test's own,
// and its log read line by line.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../x11/harness.h"

namespace idletest {

using namespace x11test;
using namespace std::chrono_literals;

inline std::string IdlePath() { return QUELVO_IDLE_EXECUTABLE; }

inline int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Waits until the process's log holds `what` n times; says what it holds if not.
inline ::testing::AssertionResult Logs(Process& process, const std::string& what, int n = 1,
                                       Milliseconds timeout = 6s) {
  if (WaitUntil([&] { return Count(process.Output(), what) >= n; }, timeout, 50ms))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no " << n << " x \"" << what << "\" in:\n"
                                       << process.Output();
}

// A private dbus-daemon; while it lives the test and its children use it as session bus.
struct SessionBus {
  SessionBus() {
    WaitUntil([&] { return daemon.Output().find('\n') != std::string::npos; }, 5s);
    const std::string address = daemon.Output().substr(0, daemon.Output().find('\n'));
    if (!address.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  }
  ~SessionBus() { unsetenv("DBUS_SESSION_BUS_ADDRESS"); }
  bool Ok() const { return std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr; }
  Process daemon{{"dbus-daemon", "--session", "--nofork", "--print-address=1"}, ""};
};

}  // namespace idletest
