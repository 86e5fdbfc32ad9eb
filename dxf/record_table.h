#pragma once
// A table that the reader appends to: records live in chunks that never move, so a record
// stays where it is while it is being filled, and growing never copies the records read so
// far. MoveTo hands the records over to an exact-size vector, releasing each chunk as soon as
// it is emptied, so that a large drawing never needs twice its memory at once.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace tesmar {

template <class T>
class RecordTable {
 public:
  T& Add() {
    if (chunks_.empty() || chunks_.back().size() == chunks_.back().capacity()) {
      // Chunks double from a few records up to about 1 MiB each.
      std::size_t n = chunks_.empty() ? kFirst : std::min(chunks_.back().capacity() * 2, kLargest);
      chunks_.emplace_back();
      chunks_.back().reserve(n);
    }
    ++size_;
    return chunks_.back().emplace_back();
  }
  T& Back() { return chunks_.back().back(); }
  void PopBack() {
    chunks_.back().pop_back();
    --size_;
    if (chunks_.back().empty()) chunks_.pop_back();
  }
  std::size_t Size() const { return size_; }

  void MoveTo(std::vector<T>& out) {
    out.clear();
    out.shrink_to_fit();
    out.reserve(size_);
    for (auto& chunk : chunks_) {
      out.insert(out.end(), std::make_move_iterator(chunk.begin()), std::make_move_iterator(chunk.end()));
      std::vector<T>().swap(chunk);
    }
    chunks_.clear();
    size_ = 0;
  }

 private:
  static constexpr std::size_t kFirst = 16;
  static constexpr std::size_t kLargest = std::max<std::size_t>(kFirst, (std::size_t{1} << 20) / sizeof(T));
  std::vector<std::vector<T>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace tesmar
