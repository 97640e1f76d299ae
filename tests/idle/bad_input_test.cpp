// Bad input: settings files that are no regular file, quotes and an empty lock command, and
// strings from the bus that would forge or flood the log.
#include "idle_fixture.h"

namespace idletest {
namespace {

TEST_F(X11Idle, AFifoOrFolderAsTheFileIsRefusedWithoutHangingQuotesAreTakenOff) {
  const std::string fifo = config + ".fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& bad : {fifo, std::string("/tmp")}) {
    Process refused({IdlePath(), "--config", bad}, x.name());
    EXPECT_EQ(refused.WaitExit(3s), 2) << bad;
    EXPECT_TRUE(Logs(refused, bad + ": cannot be read: not a regular file"));
  }
  for (const char* command : {"   ", ""}) {
    Process empty({IdlePath(), "--config", "/dev/null", "--lock-command", command}, x.name());
    EXPECT_EQ(empty.WaitExit(3s), 2);
    EXPECT_TRUE(Logs(empty, "--lock-command: empty"));
  }
  const std::string locked = config + ".locked";
  Write("after = '1s'\nlock-after = 1s\nlock-command = \"touch " + locked + "\"\n");
  Start({});
  ASSERT_TRUE(Logs(*idle, "lock after 1s with \"touch " + locked + "\""));
  EXPECT_TRUE(WaitUntil([&] { return access(locked.c_str(), F_OK) == 0; }, 5s)) << idle->Output();
  unlink(locked.c_str());
  // A FIFO swapped in: the reload is refused, and SIGTERM still ends it.
  ASSERT_EQ(rename(fifo.c_str(), config.c_str()), 0);
  idle->Signal(SIGHUP);
  EXPECT_TRUE(Logs(*idle, "reload refused"));
  idle->Signal(SIGTERM);
  EXPECT_EQ(idle->WaitExit(4s), 0);

  unlink(config.c_str());  // writing to the FIFO would block us
  Write("lock-command = nosuchlocker -f\n");
  Start({"--after", "1h"});
  EXPECT_TRUE(Logs(*idle, "lock-command: \"nosuchlocker\" is not on PATH"));
}

TEST_F(X11Idle, BusStringsNeitherForgeLinesNorFloodTheLog) {
  SessionBus bus;
  ASSERT_TRUE(bus.Ok());
  Start({"--after", "1h"});
  ASSERT_TRUE(Logs(*idle, "serving org.freedesktop.ScreenSaver"));
  Pipe evil = Peer("inhibit evil x");
  // 50 MiB take a while to cross the bus under the sanitizers.
  ASSERT_TRUE(Logs(*idle, "inhibited by evil\\nquelvo-idle: saver ended\\x1B[2J (rrr", 1, 30s));
  const std::string log = idle->Output();
  EXPECT_EQ(Count(log, "\nquelvo-idle: saver ended"), 0) << "a forged line";
  EXPECT_EQ(Count(log, "\033"), 0) << "a raw ESC";
  EXPECT_LT(log.size(), 100'000u) << "the caller's 50 MiB went to the log";
}

}  // namespace
}  // namespace idletest
