// "/c": the about box, which a close request or a click beside its texts ends.
#include <X11/Xatom.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "harness.h"

namespace x11test {
namespace {

using namespace std::chrono_literals;

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Ok()); }
  void Open() {
    saver.emplace(std::vector<std::string>{SaverPath(), "/c"}, server.name());
    window = WaitForSaverWindow(display, server.root(), 10s).value_or(0);
    ASSERT_NE(window, 0u);
  }

  // Clicks at a point of the about box's client area.
  int Click(int x, int y) {
    const auto g = GeometryOf(display, window);
    return RunTool(
        {"xdotool", "mousemove", std::to_string(g->x + x), std::to_string(g->y + y), "click", "1"},
        server.name());
  }

  XServer server{800, 600};
  Display* display = server.display();
  std::optional<Process> saver;
  Window window = 0;
};

TEST_F(AboutBox, ShowsItsTextsAndAClickOnALabelKeepsItOneBesideThemEndsIt) {
  ASSERT_NO_FATAL_FAILURE(Open());
  // 4290 x 1755 twips at the 96 DPI of a bare Xvfb.
  const auto g = GeometryOf(display, window);
  EXPECT_TRUE(g && g->width == 286 && g->height == 117);

  // "SUVANI" in blue on the button face, the other three lines in dark text.
  Image image;
  ASSERT_TRUE(WaitUntil(
      [&] {
        image = Capture(display, window);
        return Count(image, {0, 0, image.width, image.height}, IsBlue) >= 40;
      },
      3s));
  const auto dark = [](std::uint32_t p) { return ((p >> 8) & 0xFF) < 0x50 && (p & 0xFF) < 0x50; };
  EXPECT_GE(Count(image, {0, 0, image.width, 70}, dark), 20) << "no \"Created\" / \"By\"";
  EXPECT_GE(Count(image, {0, 85, image.width, image.height}, dark), 40) << "no web address";

  // The program's icon for the window manager: 32 x 32, with the bright green of a head.
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0,
                               4096, False, XA_CARDINAL, &type, &format, &count, &after, &data),
            Success);
  const long* icon = reinterpret_cast<const long*>(data);
  ASSERT_EQ(count, 2u + 32 * 32);
  EXPECT_EQ(icon[0], 32);
  EXPECT_EQ(icon[1], 32);
  // Xlib hands 32-bit items back as longs, sign-extended.
  EXPECT_TRUE(std::any_of(icon + 2, icon + count,
                          [](long pixel) { return (pixel & 0xFFFFFFFF) == 0xFF00FF00; }));
  XFree(data);

  // On the "Created" label, at (1800, 600) twips: a label, not the form.
  ASSERT_EQ(Click(1800 / 15 + 5, 600 / 15 + 5), 0);
  EXPECT_FALSE(saver->WaitExit(500ms)) << "a click on a label closed the about box";
  ASSERT_EQ(Click(12, 12), 0);
  EXPECT_EQ(saver->WaitExit(1s), 0);
  EXPECT_EQ(saver->Output(), "");
}

TEST_F(AboutBox, ACloseRequestEndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(Open());
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &close);
  XSync(display, False);
  EXPECT_EQ(saver->WaitExit(1s), 0);
}

TEST_F(AboutBox, FollowsTheXftDpiOfTheDisplay) {
  // What xrdb would set for a 144 DPI desktop: 10 twips per pixel instead of 15.
  const std::string resources = "Xft.dpi:\t144\n";
  XChangeProperty(display, server.root(), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources.data()),
                  static_cast<int>(resources.size()));
  XSync(display, False);
  ASSERT_NO_FATAL_FAILURE(Open());
  const auto g = GeometryOf(display, window);
  EXPECT_TRUE(g && g->width == 429 && g->height == 176);
}

}  // namespace
}  // namespace x11test
