#pragma once
// TName: a layer, linetype or block name held as a handle to one shared, immutable copy of its
// text. Every distinct text is stored once per process (never freed: a drawing has a few hundred
// to a few thousand names), so copying a name copies a pointer, and two names are equal exactly
// when their handles are. The text is read through str() or the conversion to
// const std::u16string& / std::u16string_view; assigning a string or a literal stores its text.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tesmar {

class TName {
 public:
  TName() noexcept : text_(&EmptyText()) {}
  TName(std::u16string_view text);  // NOLINT: a name is written as its text
  TName(const char16_t* text) : TName(std::u16string_view(text)) {}
  TName(const std::u16string& text) : TName(std::u16string_view(text)) {}

  const std::u16string& str() const noexcept { return *text_; }
  operator const std::u16string&() const noexcept { return *text_; }
  operator std::u16string_view() const noexcept { return *text_; }
  // The read-only part of std::u16string, for code that treats a name as its text.
  bool empty() const noexcept { return text_->empty(); }
  std::size_t size() const noexcept { return text_->size(); }
  std::size_t length() const noexcept { return text_->size(); }
  const char16_t* c_str() const noexcept { return text_->c_str(); }
  const char16_t* data() const noexcept { return text_->data(); }
  std::u16string::const_iterator begin() const noexcept { return text_->begin(); }
  std::u16string::const_iterator end() const noexcept { return text_->end(); }
  char16_t front() const { return text_->front(); }
  char16_t back() const { return text_->back(); }
  // The same for equal texts, different for different ones.
  const void* Id() const noexcept { return text_; }

  friend bool operator==(TName a, TName b) noexcept { return a.text_ == b.text_; }
  friend bool operator==(TName a, std::u16string_view b) noexcept { return *a.text_ == b; }
  friend bool operator==(TName a, const char16_t* b) { return *a.text_ == b; }
  friend bool operator==(TName a, const std::u16string& b) noexcept { return *a.text_ == b; }
  friend std::u16string operator+(TName a, std::u16string_view b) { return *a.text_ + std::u16string(b); }
  friend std::u16string operator+(std::u16string_view a, TName b) { return std::u16string(a) + *b.text_; }

 private:
  static const std::u16string& EmptyText() noexcept;
  const std::u16string* text_;
};

// Names that records start with, looked up once.
const TName& NameZero();     // "0"
const TName& NameByLayer();  // "BYLAYER"

}  // namespace tesmar

template <>
struct std::hash<tesmar::TName> {
  std::size_t operator()(tesmar::TName n) const noexcept { return std::hash<const void*>()(n.Id()); }
};
