// The client-side renderer: where fills and ink land, text size by DPI, the faces chosen.
#include "platform/raster/raster.h"

#include <gtest/gtest.h>

#include "forms/events.h"
#include "platform/raster/font_match.h"

namespace {

using platform::PixelRect;
constexpr forms::FontSpec kBold{"Arial", 21.75f, 700};
constexpr std::uint32_t kUntouched = 0x12345678, kRed = 0xFFFF0000;
constexpr PixelRect kAll{0, 0, 200, 100};

struct Picture {
  std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(200 * 100, kUntouched);
  raster::Canvas canvas{pixels.data(), 200, 100, 800};

  std::uint32_t At(int x, int y) const { return pixels[y * 200 + x]; }
  PixelRect Ink() const {
    return Check([](int, int) { return true; }, [this](int x, int y) { return At(x, y); });
  }
  void Compose(const forms::events::PaintItem& item, std::span<const PixelRect> areas, int dpi = 96,
               int originX = 0) {
    raster::Compose(canvas, {0x0000FF, {&item, 1}}, areas, originX, 0, dpi);  // on red
  }
  // Expects expected(x, y) where in(x, y), else kUntouched; returns the ink's box.
  PixelRect Check(auto in, auto expected) const {
    PixelRect ink{200, 100, 0, 0};
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x) {
        EXPECT_EQ(At(x, y), in(x, y) ? expected(x, y) : kUntouched) << x << "," << y;
        if (At(x, y) != kUntouched && At(x, y) != kRed)
          ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                 std::max(ink.bottom, y + 1)};
      }
    return ink;
  }
};

TEST(Raster, FillsLandExactly) {
  Picture p, q;
  const PixelRect rects[] = {{2, 3, 5, 7}, {195, 95, 260, 160}};  // the second clipped
  raster::Fill(p.canvas, rects, 0x00336699);                      // 0x00BBGGRR
  p.Check(
      [](int x, int y) { return (x >= 2 && x < 5 && y >= 3 && y < 7) || (x >= 195 && y >= 95); },
      [](int, int) { return 0xFF996633u; });
  // An opaque label fills where it meets the area, moved by the origin.
  const PixelRect area{0, 10, 15, 30};
  q.Compose({{10, 10, 30, 20}, "", &kBold, 0, 0x0000FF00, true}, {&area, 1}, 96, 5);
  q.Check([](int x, int y) { return x >= 5 && x < 20 && y >= 10 && y < 30; },
          [](int x, int y) { return x >= 15 && y < 20 ? 0xFF00FF00u : kRed; });
}

TEST(Raster, InkStaysInsideItsLabelAndTheAreas) {
  // Wrapped at spaces, a word wider than the label.
  const forms::events::PaintItem item{{20, 10, 130, 80}, "Your Company Name", &kBold, 0xFFFFFF};
  const PixelRect areas[] = {{0, 0, 60, 30}, {100, 40, 200, 100}};
  Picture whole, clipped;
  whole.Compose(item, {&kAll, 1});
  clipped.Compose(item, areas);
  const PixelRect ink = whole.Ink();
  EXPECT_TRUE(ink.left >= 20 && ink.top >= 10 && ink.right <= 130 && ink.bottom <= 80);
  EXPECT_GT(ink.bottom, 50);
  clipped.Check([](int x, int y) { return (x < 60 && y < 30) || (x >= 100 && y >= 40); },
                [&](int x, int y) { return whole.At(x, y); });
}

TEST(Raster, CapitalsAreTwiceAsTallAtTwiceTheDpi) {
  Picture at96, at192;
  at96.Compose({kAll, "H", &kBold, 0xFFFFFF}, {&kAll, 1}, 96);
  at192.Compose({kAll, "H", &kBold, 0xFFFFFF}, {&kAll, 1}, 192);
  EXPECT_GT(at96.Ink().Height(), 15);
  EXPECT_NEAR(at192.Ink().Height(), 2 * at96.Ink().Height(), 1);
}

// The banner's font and the runtime's default get the face Xft gives X11 too.
TEST(Raster, ChoosesLiberationSansForArialAndMsSansSerif) {
  for (const forms::FontSpec& font : {kBold, forms::kDefaultFont}) {
    FcPattern* match =
        raster::MatchFace(raster::FontPattern(font, raster::PixelSize(font.points, 96)));
    FcChar8* name = FcPatternFormat(match, reinterpret_cast<const FcChar8*>("%{fullname}"));
    EXPECT_STREQ(reinterpret_cast<const char*>(name),
                 font.weight == 700 ? "Liberation Sans Bold" : "Liberation Sans");
    FcStrFree(name);
    FcPatternDestroy(match);
  }
}

}  // namespace
