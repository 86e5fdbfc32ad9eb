#pragma once
// TSharedText: the content of a text record, shared by the copies of the record. Copying one
// copies a pointer (a block placed a thousand times holds its texts once); changing one through
// Mutable() first gives it a copy of its own when others share it. Read the text with str() or
// where a const std::u16string& or a std::u16string_view is expected; assign a string to set it.
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace tesmar {

class TSharedText {
 public:
  TSharedText() noexcept = default;
  TSharedText(std::u16string text) : b_(text.empty() ? nullptr : new Block{std::move(text)}) {}  // NOLINT
  TSharedText(std::u16string_view text) : TSharedText(std::u16string(text)) {}                   // NOLINT
  TSharedText(const char16_t* text) : TSharedText(std::u16string(text)) {}                        // NOLINT
  TSharedText(const TSharedText& o) noexcept : b_(o.b_) {
    if (b_) b_->refs.fetch_add(1, std::memory_order_relaxed);
  }
  TSharedText(TSharedText&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
  TSharedText& operator=(TSharedText o) noexcept {
    std::swap(b_, o.b_);
    return *this;
  }
  ~TSharedText() { Release(); }

  const std::u16string& str() const noexcept { return b_ ? b_->text : Empty(); }
  operator const std::u16string&() const noexcept { return str(); }
  operator std::u16string_view() const noexcept { return str(); }
  bool empty() const noexcept { return !b_ || b_->text.empty(); }
  std::size_t size() const noexcept { return str().size(); }

  // The text to change in place, no longer shared with any other record.
  std::u16string& Mutable() {
    if (!b_) {
      b_ = new Block{};
    } else if (b_->refs.load(std::memory_order_acquire) != 1) {
      // A copy of its own, empty texts included (a new record from a string would hold none).
      Block* own = new Block{b_->text};
      Release();
      b_ = own;
    }
    return b_->text;
  }

  friend bool operator==(const TSharedText& a, const TSharedText& b) noexcept { return a.str() == b.str(); }
  friend bool operator==(const TSharedText& a, std::u16string_view b) noexcept { return a.str() == b; }
  friend bool operator==(const TSharedText& a, const std::u16string& b) noexcept { return a.str() == b; }
  friend bool operator==(const TSharedText& a, const char16_t* b) { return a.str() == b; }

 private:
  struct Block {
    std::u16string text;
    std::atomic<std::size_t> refs{1};
  };
  static const std::u16string& Empty() noexcept {
    static const std::u16string empty;
    return empty;
  }
  void Release() noexcept {
    if (b_ && b_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete b_;
    b_ = nullptr;
  }
  Block* b_ = nullptr;
};

}  // namespace tesmar
