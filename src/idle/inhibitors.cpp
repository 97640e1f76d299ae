#include "idle/inhibitors.h"

#include <algorithm>

#include "idle/log.h"

namespace idle {

std::optional<std::uint32_t> Inhibitors::Add(std::string_view sender, std::string_view application,
                                             std::string_view reason) {
  const auto theirs = std::count_if(held_.begin(), held_.end(),
                                    [&](const auto& held) { return held.second.sender == sender; });
  if (static_cast<std::size_t>(theirs) >= kPerCaller) return std::nullopt;
  // 0 reads as "none" to many callers; a cookie in use would overwrite a live inhibitor.
  while (next_ == 0 || held_.contains(next_)) ++next_;
  const std::uint32_t cookie = next_++;
  held_[cookie] = {std::string(sender), Cut(application, kApplication), Cut(reason, kReason)};
  return cookie;
}

std::optional<Inhibition> Inhibitors::Release(std::uint32_t cookie, std::string_view sender) {
  const auto it = held_.find(cookie);
  if (it == held_.end() || it->second.sender != sender) return std::nullopt;
  Inhibition released = std::move(it->second);
  held_.erase(it);
  return released;
}

std::vector<Inhibition> Inhibitors::Leave(std::string_view sender) {
  std::vector<Inhibition> gone;
  std::erase_if(held_, [&](auto& held) {
    if (held.second.sender != sender) return false;
    gone.push_back(std::move(held.second));
    return true;
  });
  return gone;
}

}  // namespace idle
