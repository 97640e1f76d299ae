// What the quelvo-idle tests share: the program's path, buses of the test's own (a stand-in
// logind on the system one), its log read line by line, and quelvo-idle on Xvfb.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

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

// A private dbus-daemon (run by `as`, a compositor's user); while it lives the test and its
// children use it as the session bus, or as `variable` says, the system bus.
struct PrivateBus {
  explicit PrivateBus(const char* variable = "DBUS_SESSION_BUS_ADDRESS",
                      std::vector<std::string> as = {})
      : variable(variable),
        daemon((as.insert(as.end(), {"dbus-daemon", "--session", "--nofork", "--print-address=1"}),
                as),
               "") {
    WaitUntil([&] { return daemon.Output().find('\n') != std::string::npos; }, 5s);
    address = daemon.Output().substr(0, daemon.Output().find('\n'));
    if (!address.empty()) setenv(variable, address.c_str(), 1);
  }
  ~PrivateBus() { unsetenv(variable); }
  bool Ok() const { return !address.empty(); }
  const char* variable;
  Process daemon;
  std::string address;
};
using SessionBus = PrivateBus;

// A bus peer (bus_peer.py) with a pipe to its stdin.
using Pipe = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
inline Pipe Peer(const std::string& args) {
  return Pipe(popen((QUELVO_BUS_PEER " " + args).c_str(), "we"), pclose);
}
inline void Say(const Pipe& peer, const std::string& line) {
  std::fprintf(peer.get(), "%s\n", line.c_str()), std::fflush(peer.get());
}

// busctl on the session bus: its output and errors, and whether it succeeded.
inline std::string BusCtl(std::vector<std::string> args, bool* ok = nullptr) {
  args.insert(args.begin(), {"busctl", "--user"});
  Process busctl(args, "");
  const bool done = busctl.WaitExit(5s) == 0;
  return ok != nullptr ? void(*ok = done) : void(), busctl.Output();
}
inline std::string RunnerProperty(const std::string& name) {
  return BusCtl({"get-property", "org.quelvo.Quelvo.Idle", "/org/quelvo/Quelvo/Idle",
                 "org.quelvo.Quelvo.Idle", name});
}

// A folder with a copy of quelvo-idle and, beside it, a "quelvo" that is this script.
struct FakeSaver {
  explicit FakeSaver(const std::string& script) {
    char dir[] = "/tmp/quelvo-idle-XXXXXX";
    if (mkdtemp(dir) == nullptr) return;
    here = dir;
    std::ofstream(here + "/quelvo") << "#!/bin/sh\n" << script << "\n";
    chmod((here + "/quelvo").c_str(), 0755);
    RunTool({"cp", IdlePath(), here + "/quelvo-idle"}, "");
  }
  ~FakeSaver() { RunTool({"rm", "-rf", here}, ""); }
  std::string idle() const { return here + "/quelvo-idle"; }
  std::string here;
};

class X11Idle : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x.Ok()) GTEST_SKIP() << "Xvfb does not start here";
    char path[] = "/tmp/quelvo-idle-conf-XXXXXX";
    close(mkstemp(path));
    config = path;
  }
  void TearDown() override { unlink(config.c_str()); }
  Process& Start(std::vector<std::string> args, const std::string& program = IdlePath()) {
    args.insert(args.begin(), {program, "--config", config});
    return idle.emplace(args, x.name());
  }
  void Input(Milliseconds during) {  // a small move every 0.5 s
    for (auto end = Clock::now() + during; Clock::now() < end; std::this_thread::sleep_for(500ms))
      Move();
  }
  void Move() { RunTool({"xdotool", "mousemove_relative", "--", "1", "0"}, x.name()); }
  bool Rain(Milliseconds timeout) {
    return WaitForSaverWindow(x.display(), x.root(), timeout).has_value();
  }
  bool NoRain(Milliseconds timeout) {
    return WaitUntil([&] { return SaverWindows(x.display(), x.root()).empty(); }, timeout);
  }
  void Write(const std::string& text) { std::ofstream(config) << text; }

  XServer x{640, 480};
  std::string config;
  std::optional<Process> idle;
};

}  // namespace idletest
