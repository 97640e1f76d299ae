#include "compositor.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace wltest {

using namespace std::chrono_literals;

Compositor::Compositor(Kind kind, const Compositor* host) {
  char dir[] = "/tmp/quelvo-wayland-XXXXXX";
  if (mkdtemp(dir) == nullptr || chmod(dir, 0755) != 0) return;
  dir_ = dir;
  const passwd* user = geteuid() == 0 ? getpwnam("nobody") : nullptr;
  for (const std::string sub : {"/run", "/home"})
    if (mkdir((dir_ + sub).c_str(), 0700) != 0 ||
        (user != nullptr && chown((dir_ + sub).c_str(), user->pw_uid, user->pw_gid) != 0))
      return;
  std::ofstream(dir_ + "/home/sway.conf")
      << "output HEADLESS-1 resolution 1280x800 position 0 0\n"
         "output HEADLESS-2 resolution 1024x768 position 1280 0\n";
  const bool sway = kind == Kind::kSway || kind == Kind::kNestedSway;
  if (sway) swaySocket_ = dir_ + "/run/sway-ipc.sock";  // sway takes it from SWAYSOCK
  // No direct scan-out: sway's screenshots of a full-screen view it scans out can be stale.
  std::vector<std::string> argv = {"sway", "-D", "noscanout", "-c", dir_ + "/home/sway.conf"};
  std::vector<std::string> env = {"WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1",
                                  "WLR_BACKENDS=headless", "WLR_HEADLESS_OUTPUTS=2"};
  if (kind == Kind::kNestedSway) {
    if (host == nullptr || !host->Ok()) return;
    env.insert(env.end(), {"WLR_BACKENDS=wayland", "WLR_WL_OUTPUTS=2",
                           "WAYLAND_DISPLAY=" + host->dir_ + "/run/" + host->socket_});
  } else if (kind == Kind::kWeston) {
    // Only with --debug does it offer its screenshots.
    argv = {"weston",       "--backend=headless-backend.so",
            "--use-pixman", "--width=1280",
            "--height=800", "--socket=wayland-1",
            "--debug"};
  } else if (kind == Kind::kMutter) {
    // Its session bus lives as long as it does; mutter_input.py finds the address in a file.
    argv = {"dbus-run-session", "--", "sh", "-c",
            "echo \"$DBUS_SESSION_BUS_ADDRESS\" >bus.new && mv bus.new bus && exec mutter "
            "--headless --wayland --no-x11 --virtual-monitor 1280x800 "
            "--wayland-display=wayland-1"};
  }
  argv = As(argv, env);
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  const int log = open((dir_ + "/log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if ((pid_ = fork()) == 0) {
    setsid();  // a process group of its own, which Kill ends as a whole
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(log);

  // In a fresh runtime folder the first socket name is free: sway takes it by itself.
  const std::string wayland = "wayland-1";
  const bool up = WaitUntil(
      [&] {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;  // it could not start
        return pid_ < 0 || (access((dir_ + "/run/" + wayland).c_str(), F_OK) == 0 &&
                            (!sway || access(swaySocket_.c_str(), F_OK) == 0));
      },
      15s);
  if (up && pid_ > 0) socket_ = wayland;
}

Compositor::~Compositor() {
  Kill();
  if (!dir_.empty()) RunTool({"rm", "-rf", dir_}, "");
}

void Compositor::Kill(int sig) {
  if (pid_ <= 0) return;
  kill(-pid_, sig);
  WaitUntil([&] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, 5s);
  kill(-pid_, SIGKILL);  // what it started and left behind, or itself if it hangs
  pid_ = -1;
}

std::vector<std::string> Compositor::As(const std::vector<std::string>& argv,
                                        const std::vector<std::string>& env) const {
  std::vector<std::string> all;
  if (geteuid() == 0) all = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
  const std::string home = dir_ + "/home";
  all.insert(all.end(), {"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-C", home,
                         "HOME=" + home, "XDG_RUNTIME_DIR=" + dir_ + "/run"});
  if (!socket_.empty()) all.push_back("WAYLAND_DISPLAY=" + socket_);
  if (!swaySocket_.empty()) all.push_back("SWAYSOCK=" + swaySocket_);
  all.insert(all.end(), env.begin(), env.end());
  all.insert(all.end(), argv.begin(), argv.end());
  return all;
}

std::string Compositor::Read(const std::vector<std::string>& argv) const {
  Process tool(As(argv), "");
  tool.WaitExit(10s);
  return tool.Output();
}

Compositor::Helper Compositor::Open(const std::vector<std::string>& argv) const {
  std::string line;  // no argument holds a '
  for (const std::string& arg : As(argv)) line += " '" + arg + "'";
  return {popen((line + " >/dev/null").c_str(), "we"), pclose};
}

Image Compositor::Grab(const std::string& output) const {
  std::vector<std::string> argv = {"grim", "-t", "ppm", "-"};
  if (!output.empty()) argv.insert(argv.end() - 1, {"-o", output});
  if (swaySocket_.empty())  // weston: its own tool, which saves a PNG where it runs
    argv = {"sh", "-c", "rm -f *.png; weston-screenshooter && convert *.png ppm:- 2>/dev/null"};
  const std::string ppm = Read(argv);
  Image image;
  int start = 0;
  if (std::sscanf(ppm.c_str(), "P6 %d %d 255%n", &image.width, &image.height, &start) != 2 ||
      ppm.size() < static_cast<std::size_t>(start + 1 + 3 * image.width * image.height))
    return {};
  const auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(ppm[at]); };
  for (std::size_t i = static_cast<std::size_t>(start) + 1; i < ppm.size(); i += 3)
    image.pixels.push_back(byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2));
  return image;
}

int GreenHeight(const Image& image) {
  std::vector<int> rows;
  for (int y = 0; y < image.height; ++y)
    if (Count(image, {0, y, image.width, y + 1}, IsGreen) > 0) rows.push_back(y);
  return rows.empty() ? 0 : rows.back() - rows.front() + 1;
}

bool RainShows(const Image& image) {
  int strips = 0;
  for (int x = 0; x < image.width; x += 24)
    strips += Count(image, {x, 0, x + 24, image.height}, IsGreen) >= 15;
  return strips >= 20;
}

long ShmemKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("RssShmem:")) return std::stol(line.substr(9));
  return -1;
}

}  // namespace wltest
