#include "compositor.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace wltest {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string ShellLine(const std::vector<std::string>& argv) {  // no argument holds a '
  std::string line;
  for (const std::string& arg : argv) line += " '" + arg + "'";
  return line;
}

}  // namespace

Compositor::Compositor(Kind kind, const Compositor* host) {
  char dir[] = "/tmp/quelvo-wayland-XXXXXX";
  if (mkdtemp(dir) == nullptr || chmod(dir, 0755) != 0) return;
  dir_ = dir;
  const passwd* user = geteuid() == 0 ? getpwnam("nobody") : nullptr;
  for (const std::string sub : {"/run", "/home"}) {
    mkdir((dir_ + sub).c_str(), 0700);
    if (user != nullptr && chown((dir_ + sub).c_str(), user->pw_uid, user->pw_gid) != 0) return;
  }
  std::ofstream(dir_ + "/home/sway.conf")
      << "output HEADLESS-1 resolution 1280x800 position 0 0\n"
         "output HEADLESS-2 resolution 1024x768 position 1280 0\n";
  const bool sway = kind == Kind::kSway || kind == Kind::kNestedSway;
  std::vector<std::string> argv = {"sway", "-c", dir_ + "/home/sway.conf"};
  std::vector<std::string> env = {"WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1",
                                  "WLR_BACKENDS=headless", "WLR_HEADLESS_OUTPUTS=2"};
  if (kind == Kind::kNestedSway) {
    if (host == nullptr || !host->Ok()) return;
    env.insert(env.end(), {"WLR_BACKENDS=wayland", "WLR_WL_OUTPUTS=2",
                           "WAYLAND_DISPLAY=" + host->dir_ + "/run/" + host->socket_});
  } else if (kind == Kind::kWeston) {
    argv = {"weston",       "--backend=headless-backend.so", "--use-pixman", "--width=1280",
            "--height=800", "--socket=wayland-quelvo",       "--debug"};  // --debug: screenshots
  } else if (kind == Kind::kMutter) {
    // Its session bus lives as long as it does; mutter_input.py finds the address in a file.
    argv = {"dbus-run-session", "--", "sh", "-c",
            "echo \"$DBUS_SESSION_BUS_ADDRESS\" >bus.new && mv bus.new bus && exec mutter "
            "--headless --wayland --no-x11 --virtual-monitor 1280x800 "
            "--wayland-display=wayland-quelvo"};
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

  std::string wayland, ipc;
  WaitUntil(
      [&] {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(dir_ + "/run", error)) {
          const std::string name = entry.path().filename();
          if (entry.is_socket(error)) (name.starts_with("sway-ipc") ? ipc : wayland) = name;
        }
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;  // it could not start
        return pid_ < 0 || (!wayland.empty() && (!sway || !ipc.empty()));
      },
      15s);
  if (pid_ < 0 || wayland.empty() || (sway && ipc.empty())) return;
  socket_ = wayland;
  if (sway) swaySocket_ = dir_ + "/run/" + ipc;
}

Compositor::~Compositor() {
  Kill();
  std::error_code error;
  if (!dir_.empty()) fs::remove_all(dir_, error);
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
  std::FILE* pipe = popen((ShellLine(As(argv)) + " 2>/dev/null").c_str(), "re");
  std::string out;
  char chunk[1 << 16];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
  pclose(pipe);
  return out;
}

Compositor::Helper Compositor::Open(const std::vector<std::string>& argv) const {
  return {popen((ShellLine(As(argv)) + " >/dev/null").c_str(), "we"), pclose};
}

void Send(const Compositor::Helper& helper, const std::string& line) {
  std::fputs((line + "\n").c_str(), helper.get());
  std::fflush(helper.get());
}

Image Compositor::Grab(const std::string& output) const {
  std::vector<std::string> argv = {"grim", "-t", "ppm"};
  if (!output.empty()) argv.insert(argv.end(), {"-o", output});
  argv.push_back("-");
  if (swaySocket_.empty())  // weston: its own tool, which saves a PNG where it runs
    argv = {"sh", "-c", "rm -f *.png; weston-screenshooter && convert *.png ppm:-"};
  const std::string ppm = Read(argv);
  std::istringstream in(ppm);
  std::string magic;
  Image image;
  in >> magic >> image.width >> image.height >> magic;
  const auto start = static_cast<std::size_t>(in.tellg()) + 1;
  if (image.width <= 0 ||
      ppm.size() < start + 3 * static_cast<std::size_t>(image.width * image.height))
    return {};
  const auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(ppm[at]); };
  for (std::size_t i = start; i < ppm.size(); i += 3)
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

}  // namespace wltest
