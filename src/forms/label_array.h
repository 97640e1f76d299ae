// A label array: members that share one name and are told apart by index. All members
// exist from the start; none is added or removed.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "forms/label.h"

namespace forms {

class LabelArray {
 public:
  // count members with the same design; the container paints them in index order.
  LabelArray(Surface& container, int count, const LabelDesign& design) {
    members_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) members_.push_back(std::make_unique<Label>(container, design));
  }

  // An index outside the array throws std::out_of_range.
  Label& operator()(int index) { return *members_.at(static_cast<std::size_t>(index)); }
  const Label& operator()(int index) const { return *members_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(members_.size()); }

 private:
  std::vector<std::unique_ptr<Label>> members_;  // containers point to the labels
};

}  // namespace forms
