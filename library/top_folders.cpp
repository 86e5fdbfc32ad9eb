#include "library/top_folders.h"

#include <algorithm>

#include "base/strings.h"
#include "library/catalogue.h"

namespace tesmar {

void TopFolders::Load(std::vector<std::u16string> lines) {
  SortByNameOrder(lines);
  folders_ = std::move(lines);
  chosen_ = -1;
}

int TopFolders::Find(std::u16string_view folder) const {
  for (std::size_t i = 0; i < folders_.size(); ++i)
    if (EqualsIgnoreCase16(folders_[i], folder)) return static_cast<int>(i);
  return -1;
}

int TopFolders::Add(const std::u16string& folder) {
  if (Find(folder) >= 0) return -1;
  auto at = std::upper_bound(folders_.begin(), folders_.end(), folder,
                             [](const auto& a, const auto& b) { return NameOrderLess(a, b); });
  const int index = static_cast<int>(at - folders_.begin());
  folders_.insert(at, folder);
  if (chosen_ >= index) ++chosen_;
  return index;
}

void TopFolders::Remove(int index) {
  if (index < 0 || index >= static_cast<int>(folders_.size())) return;
  folders_.erase(folders_.begin() + index);
  chosen_ = folders_.empty() ? -1 : 0;
  if (folders_.empty()) removedAll_ = true;
}

void TopFolders::Choose(int index) {
  chosen_ = index >= 0 && index < static_cast<int>(folders_.size()) ? index : -1;
}

std::u16string TopFolders::Chosen() const { return chosen_ >= 0 ? folders_[chosen_] : std::u16string(); }

}  // namespace tesmar
