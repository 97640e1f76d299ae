// Implements: the area cache's keys, its table and the atlas pixmap its places are in.
#include "platform/x11/x11_area_cache.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "platform/x11/x11_connection.h"

namespace x11 {
namespace {

// 4 MB of server memory. A rain at 1920 x 1080 reuses about nine areas in ten with it.
constexpr int kAtlasWidth = 1024;
constexpr int kAtlasHeight = 1024;
// Larger areas (a window's first paint, a banner) are rare and not worth the room.
constexpr int kMaxWidth = 128;
constexpr int kMaxHeight = 256;
// Places are on shelves whose heights are multiples of this, one open shelf per height.
constexpr int kShelfStep = 16;
constexpr std::size_t kTableSize = 8192;  // a power of two, at most half full
constexpr std::size_t kMaxEntries = kTableSize / 2;
constexpr std::size_t kMaxKeyWords = std::size_t{1} << 18;

struct Entry {
  std::uint64_t hash = 0;
  std::uint32_t keyStart = 0;
  std::uint32_t keyLength = 0;  // 0: a free slot
  AtlasPlace place{};
};

struct Shelf {
  int y = 0;
  int x = 0;
  bool open = false;
};

std::vector<Entry> table;
std::vector<std::uint32_t> keys;  // every entry's key, back to back
std::vector<std::uint32_t> key;   // the area being described
std::size_t entries = 0;
bool full = false;
bool tooLarge = false;
int areaLeft = 0, areaTop = 0, areaWidth = 0, areaHeight = 0;

std::array<Shelf, kMaxHeight / kShelfStep> shelves;
int nextShelfY = 0;
Pixmap atlas = None;

std::uint64_t Hash(const std::vector<std::uint32_t>& words) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::uint32_t w : words) h = (h ^ w) * 1099511628211ull;
  return h;
}

bool SameKey(const Entry& e) {
  return e.keyLength == key.size() && std::equal(key.begin(), key.end(), keys.begin() + e.keyStart);
}

bool Allocate(AtlasPlace& place) {
  const int heightClass = (areaHeight + kShelfStep - 1) / kShelfStep - 1;
  Shelf& shelf = shelves[static_cast<std::size_t>(heightClass)];
  if (!shelf.open || shelf.x + areaWidth > kAtlasWidth) {
    const int height = (heightClass + 1) * kShelfStep;
    if (nextShelfY + height > kAtlasHeight) return false;
    shelf = {nextShelfY, 0, true};
    nextShelfY += height;
  }
  if (atlas == None) {
    atlas = XCreatePixmap(X().display, X().root, kAtlasWidth, kAtlasHeight,
                          static_cast<unsigned>(X().depth));
  }
  place = {shelf.x, shelf.y};
  shelf.x += areaWidth;
  return true;
}

void Empty() {
  std::fill(table.begin(), table.end(), Entry{});
  keys.clear();
  shelves.fill({});
  nextShelfY = 0;
  entries = 0;
  full = false;
}

}  // namespace

void BeginAreaKey(const platform::PixelRect& area, platform::Colour background) {
  areaLeft = area.left;
  areaTop = area.top;
  areaWidth = area.Width();
  areaHeight = area.Height();
  tooLarge = areaWidth > kMaxWidth || areaHeight > kMaxHeight;
  key.assign(
      {static_cast<std::uint32_t>(areaWidth), static_cast<std::uint32_t>(areaHeight), background});
}

void AddToAreaKey(const forms::events::PaintItem& item) {
  if (tooLarge) return;
  const auto font = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(item.font));
  const std::uint32_t words[] = {static_cast<std::uint32_t>(item.rect.left - areaLeft),
                                 static_cast<std::uint32_t>(item.rect.top - areaTop),
                                 static_cast<std::uint32_t>(item.rect.Width()),
                                 static_cast<std::uint32_t>(item.rect.Height()),
                                 static_cast<std::uint32_t>(font),
                                 static_cast<std::uint32_t>(font >> 32),
                                 item.foreColour,
                                 item.backColour,
                                 item.opaque ? 1u : 0u,
                                 static_cast<std::uint32_t>(item.text.size())};
  key.insert(key.end(), std::begin(words), std::end(words));
  for (std::size_t i = 0; i < item.text.size(); i += 4) {
    std::uint32_t word = 0;
    std::memcpy(&word, item.text.data() + i, std::min<std::size_t>(4, item.text.size() - i));
    key.push_back(word);
  }
}

CachedArea FindOrReserveArea() {
  if (tooLarge) return {};
  if (table.empty()) {
    table.resize(kTableSize);
    keys.reserve(kMaxKeyWords);
    key.reserve(1024);
  }
  const std::uint64_t hash = Hash(key);
  std::size_t i = hash & (kTableSize - 1);
  for (; table[i].keyLength != 0; i = (i + 1) & (kTableSize - 1)) {
    if (table[i].hash == hash && SameKey(table[i])) return {&table[i].place, true};
  }
  AtlasPlace place;
  if (full || entries == kMaxEntries || keys.size() + key.size() > kMaxKeyWords ||
      !Allocate(place)) {
    full = true;
    return {};
  }
  table[i] = {hash, static_cast<std::uint32_t>(keys.size()), static_cast<std::uint32_t>(key.size()),
              place};
  keys.insert(keys.end(), key.begin(), key.end());
  ++entries;
  return {&table[i].place, false};
}

Pixmap AreaAtlas() { return atlas; }

void BeginCachePass() {
  if (full) Empty();
}

void ReleaseAreaCache() {
  if (atlas != None) XFreePixmap(X().display, atlas);
  atlas = None;
  table.clear();
  Empty();
}

}  // namespace x11
