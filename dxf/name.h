#pragma once
// TName: a layer, linetype or block name held as a handle to one shared, immutable copy of its
// text. Every distinct text is stored once per process (never freed: a drawing has a few hundred
// to a few thousand names) and numbered, so a name is a 32-bit number (millions of records
// carry three of them), copying one copies that number, and two names are equal exactly when
// their numbers are. The text is read through str() or the conversion to
// const std::u16string& / std::u16string_view; assigning a string or a literal stores its text.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tesmar {

namespace name_pool {
// The texts by number: slots of kSlotSize pointers, each slot made once and never moved, so a
// text is found without a lock. Number 0 is the empty text.
inline constexpr unsigned kSlotBits = 12;
inline constexpr std::uint32_t kSlotSize = std::uint32_t{1} << kSlotBits;
inline constexpr std::size_t kSlots = std::size_t{1} << 16;
extern std::atomic<const std::u16string* const*> slots[kSlots];
}  // namespace name_pool

class TName {
 public:
  TName() noexcept = default;
  TName(std::u16string_view text);  // NOLINT: a name is written as its text
  TName(const char16_t* text) : TName(std::u16string_view(text)) {}
  TName(const std::u16string& text) : TName(std::u16string_view(text)) {}

  const std::u16string& str() const noexcept {
    return *name_pool::slots[id_ >> name_pool::kSlotBits].load(std::memory_order_acquire)[id_ & (name_pool::kSlotSize - 1)];
  }
  operator const std::u16string&() const noexcept { return str(); }
  operator std::u16string_view() const noexcept { return str(); }
  // The read-only part of std::u16string, for code that treats a name as its text.
  bool empty() const noexcept { return id_ == 0; }
  std::size_t size() const noexcept { return str().size(); }
  std::size_t length() const noexcept { return str().size(); }
  const char16_t* c_str() const noexcept { return str().c_str(); }
  const char16_t* data() const noexcept { return str().data(); }
  std::u16string::const_iterator begin() const noexcept { return str().begin(); }
  std::u16string::const_iterator end() const noexcept { return str().end(); }
  char16_t front() const { return str().front(); }
  char16_t back() const { return str().back(); }
  // The address of the pooled text: the same for equal texts, different for different ones.
  const void* TextAddress() const noexcept { return &str(); }
  std::uint32_t Number() const noexcept { return id_; }

  friend bool operator==(TName a, TName b) noexcept { return a.id_ == b.id_; }
  friend bool operator==(TName a, std::u16string_view b) noexcept { return a.str() == b; }
  friend bool operator==(TName a, const char16_t* b) { return a.str() == b; }
  friend bool operator==(TName a, const std::u16string& b) noexcept { return a.str() == b; }
  friend std::u16string operator+(TName a, std::u16string_view b) { return a.str() + std::u16string(b); }
  friend std::u16string operator+(std::u16string_view a, TName b) { return std::u16string(a) + b.str(); }

 private:
  std::uint32_t id_ = 0;
};

// Names that records start with, looked up once.
const TName& NameZero();     // "0"
const TName& NameByLayer();  // "BYLAYER"

}  // namespace tesmar

template <>
struct std::hash<tesmar::TName> {
  std::size_t operator()(tesmar::TName n) const noexcept { return std::hash<std::uint32_t>()(n.Number()); }
};
