// A measuring tool for bench/x11 and scripts/run.sh, on the display in $DISPLAY:
//   quelvo_x11_probe first-frame LOG -- COMMAND...
//       starts COMMAND (its output to LOG), waits for the first green pixel in the
//       middle of the screen, prints "<pid> <milliseconds>" and leaves it running.
//   quelvo_x11_probe screenshot FILE.png
//       writes the whole screen to a PNG file.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"

namespace {

using x11test::Clock;

int FirstFrame(Display* display, const char* log, char** command) {
  const int width = DisplayWidth(display, DefaultScreen(display));
  const int height = DisplayHeight(display, DefaultScreen(display));
  const auto started = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int fd = open(log, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, STDOUT_FILENO);
    dup2(fd, STDERR_FILENO);
    execvp(command[0], command);
    _exit(127);
  }
  // The banner text sits in the middle of the screen.
  const int boxWidth = 400, boxHeight = 70;
  while (Clock::now() - started < std::chrono::seconds(10)) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), (width - boxWidth) / 2,
                              (height - boxHeight) / 2, boxWidth, boxHeight, AllPlanes, ZPixmap);
    bool green = false;
    for (int y = 0; y < boxHeight && !green; ++y) {
      for (int x = 0; x < boxWidth && !green; ++x) {
        green = x11test::IsGreen(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
      }
    }
    XDestroyImage(image);
    if (green) {
      const auto ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
      std::printf("%d %.1f\n", pid, ms);
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::fprintf(stderr, "no frame within 10 s\n");
  return 1;
}

void Chunk(std::FILE* out, const char* type, const std::vector<unsigned char>& data) {
  auto be32 = [&](std::uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v >> 24),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
    std::fwrite(b, 1, 4, out);
  };
  be32(static_cast<std::uint32_t>(data.size()));
  std::fwrite(type, 1, 4, out);
  std::fwrite(data.data(), 1, data.size(), out);
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  // zlib answers a null buffer (an empty vector's) with its initial value, not crc.
  if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
  be32(static_cast<std::uint32_t>(crc));
}

int Screenshot(Display* display, const char* path) {
  const x11test::Image image = x11test::Capture(display, DefaultRootWindow(display));
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<std::size_t>(image.height) *
              (1 + 3 * static_cast<std::size_t>(image.width)));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.At(x, y);
      raw.push_back(static_cast<unsigned char>(p >> 16));
      raw.push_back(static_cast<unsigned char>(p >> 8));
      raw.push_back(static_cast<unsigned char>(p));
    }
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> packed(size);
  if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) {
    return 1;
  }
  packed.resize(size);

  std::FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return 1;
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::fwrite(kSignature, 1, 8, out);
  std::vector<unsigned char> header(13, 0);
  for (int i = 0; i < 4; ++i) {
    header[static_cast<std::size_t>(i)] = static_cast<unsigned char>(image.width >> (24 - 8 * i));
    header[static_cast<std::size_t>(4 + i)] =
        static_cast<unsigned char>(image.height >> (24 - 8 * i));
  }
  header[8] = 8;  // bits per channel
  header[9] = 2;  // RGB
  Chunk(out, "IHDR", header);
  Chunk(out, "IDAT", packed);
  Chunk(out, "IEND", {});
  return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open display\n");
    return 1;
  }
  if (argc >= 5 && std::strcmp(argv[1], "first-frame") == 0 && std::strcmp(argv[3], "--") == 0) {
    return FirstFrame(display, argv[2], argv + 4);
  }
  if (argc == 3 && std::strcmp(argv[1], "screenshot") == 0) return Screenshot(display, argv[2]);
  std::fprintf(stderr, "usage: %s first-frame LOG -- COMMAND... | screenshot FILE.png\n", argv[0]);
  return 2;
}
