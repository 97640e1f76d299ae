// The preview platform as a settings window drives it: runs that start fresh, rain that
// moves, a click that ends the run and not the process, a resize the run follows, and a
// slow host that gets no backlog of ticks.
#include "platform/preview/preview_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::int64_t kTick = 15'625;  // 1/64 s in micros

// The host's side: a canvas the size of the area at its scale, and a clock.
struct Window {
  Window(int width, int height, int scale) { Size(width, height, scale); }
  void Size(int width, int height, int scale) {
    pixels.assign(static_cast<std::size_t>(width * scale * height * scale), 0xDEADBEEF);
    canvas = {pixels.data(), width * scale, height * scale, width * scale * 4};
  }
  // n frames of the frame clock, each drawn.
  void Run(preview::Host& host, int frames) {
    for (int i = 0; i < frames; ++i) {
      now += kTick;
      host.AdvanceTo(now);
      host.Draw(canvas);
    }
  }
  // Rain pixels in a part of the canvas: green well above red and blue.
  int Green(int left = 0, int top = 0) const {
    int count = 0;
    for (int y = top; y < canvas.height; ++y)
      for (int x = left; x < canvas.width; ++x) {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * canvas.width + x)];
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (g > 0x30 && g > 2 * r && g > 2 * b) ++count;
      }
    return count;
  }
  std::vector<std::uint32_t> pixels;
  raster::Canvas canvas;
  std::int64_t now = 1'000'000'000;  // the host's clock need not start at 0
};

// The banner's 3.3 s are over by 4 s: frames then and a quarter second later.
constexpr int kAfterBanner = 4 * 64;

std::vector<std::vector<std::uint32_t>> Frames(int width, int height) {
  Window window(width, height, 1);
  preview::Host host(width, height, 1);
  std::vector<std::vector<std::uint32_t>> frames;
  for (const int frames_before : {kAfterBanner, 16}) {
    window.Run(host, frames_before);
    frames.push_back(window.pixels);
  }
  return frames;
}

TEST(PreviewHost, EachRunStartsFreshAndTheRainMoves) {
  const auto first = Frames(320, 240);
  const auto second = Frames(320, 240);
  EXPECT_EQ(first, second);  // the same random sequence, the same forms
  EXPECT_NE(first[0], first[1]);
  Window look(320, 240, 1);
  for (const auto& frame : {first[0], first[1]}) {
    look.pixels = frame;
    EXPECT_GT(look.Green(), 200);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0xDEADBEEF), 0) << "part of it never drawn";
  }
}

TEST(PreviewHost, ClickOrKeyEndsTheRunNotTheProcess) {
  for (const bool click : {true, false}) {
    Window window(160, 120, 1);
    {
      preview::Host host(160, 120, 1);
      window.Run(host, kAfterBanner);  // the banner takes clicks for itself
      ASSERT_FALSE(host.Ended());
      // A second run at once would share the first one's application and windows.
      EXPECT_THROW(preview::Host(160, 120, 1), std::logic_error);
      if (click) {
        // A click on a letter is the letter's: down the diagonal until one meets bare rain.
        for (int x = 0; x < 120 && !host.Ended(); x += 3) host.Click(x, x);
      } else {
        host.Key(' ');
      }
      EXPECT_TRUE(host.Ended());
      window.Run(host, 8);  // an ended run ticks no more and draws without its form
    }
    preview::Host again(160, 120, 1);
    window.Run(again, 16);
    EXPECT_FALSE(again.Ended());
    EXPECT_GT(window.Green(), 100);
  }
}

TEST(PreviewHost, ResizeIsFollowedAtTheNewSizeAndScale) {
  Window window(160, 120, 1);
  preview::Host host(160, 120, 1);
  // After the banner, whose end lays the rain out again in whatever the area is by then.
  window.Run(host, kAfterBanner);
  host.Resize(320, 240, 2);
  window.Size(320, 240, 2);
  window.Run(host, 2 * 64);
  EXPECT_EQ(std::count(window.pixels.begin(), window.pixels.end(), 0xDEADBEEF), 0);
  // The rain falls in the grown part too: the form filled the new area.
  EXPECT_GT(window.Green(2 * 160, 0), 200);
  EXPECT_GT(window.Green(0, 2 * 120), 200);
}

TEST(PreviewHost, ASlowHostGetsNoBacklog) {
  // A jump of ten seconds ticks each timer once: the same frame as one period later.
  std::vector<std::uint32_t> frames[2];
  for (const std::int64_t jump : {kTick, 640 * kTick}) {
    Window window(320, 240, 1);
    preview::Host host(320, 240, 1);
    host.AdvanceTo(window.now);
    host.AdvanceTo(window.now + jump);
    host.Draw(window.canvas);
    frames[jump == kTick ? 0 : 1] = window.pixels;
  }
  EXPECT_EQ(frames[0], frames[1]);
}

}  // namespace
