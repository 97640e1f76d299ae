// The inhibitors taken through org.freedesktop.ScreenSaver, by cookie: what a caller sent is
// cut to a sane length, one caller holds a bounded number, and no cookie is 0 or repeats
// one in use, even after 2^32 calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace idle {

struct Inhibition {
  std::string sender, application, reason;
};

class Inhibitors {
 public:
  static constexpr std::size_t kPerCaller = 32, kApplication = 64, kReason = 128;
  explicit Inhibitors(std::uint32_t next = 1) : next_(next) {}

  // The new cookie, or nothing when the caller already holds kPerCaller.
  std::optional<std::uint32_t> Add(std::string_view sender, std::string_view application,
                                   std::string_view reason);
  // The one released, if `sender` holds that cookie.
  std::optional<Inhibition> Release(std::uint32_t cookie, std::string_view sender);
  // Everything a caller that left the bus held.
  std::vector<Inhibition> Leave(std::string_view sender);

  bool Empty() const { return held_.empty(); }
  const std::map<std::uint32_t, Inhibition>& All() const { return held_; }

 private:
  std::map<std::uint32_t, Inhibition> held_;
  std::uint32_t next_;
};

}  // namespace idle
