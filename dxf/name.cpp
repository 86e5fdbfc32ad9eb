#include "dxf/name.h"

#include <memory>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

namespace tesmar {

namespace {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::u16string_view s) const noexcept { return std::hash<std::u16string_view>()(s); }
};

struct TextEqual {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const noexcept { return a == b; }
};

// Every text ever named, with its number. Elements of an unordered_map keep their address when
// it grows, so the slots point at the keys.
struct Pool {
  std::mutex mutex;
  std::unordered_map<std::u16string, std::uint32_t, TextHash, TextEqual> numbers;
  std::uint32_t next = 1;
};

// Both initialised before any code runs, so that a name made during static initialisation
// reads as empty.
std::u16string emptyText;
const std::u16string* firstSlot[name_pool::kSlotSize] = {&emptyText};

Pool& ThePool() {
  static Pool* pool = new Pool;  // never destroyed: names may be read during static destruction
  return *pool;
}

}  // namespace

std::atomic<const std::u16string* const*> name_pool::slots[name_pool::kSlots] = {firstSlot};

TName::TName(std::u16string_view text) {
  if (text.empty()) return;
  Pool& pool = ThePool();
  std::lock_guard lock(pool.mutex);
  auto it = pool.numbers.find(text);
  if (it == pool.numbers.end()) {
    using namespace name_pool;
    const std::uint32_t n = pool.next;
    if (n >= kSlots * kSlotSize) throw std::length_error("too many names");
    auto& slot = slots[n >> kSlotBits];
    auto* texts = const_cast<const std::u16string**>(slot.load(std::memory_order_relaxed));
    const bool fresh = texts == nullptr;
    if (fresh) texts = new const std::u16string*[kSlotSize]();  // never freed, as the texts
    it = pool.numbers.emplace(text, n).first;
    texts[n & (kSlotSize - 1)] = &it->first;
    if (fresh) slot.store(texts, std::memory_order_release);
    ++pool.next;
  }
  id_ = it->second;
}

const TName& NameZero() {
  static const TName name(u"0");
  return name;
}

const TName& NameByLayer() {
  static const TName name(u"BYLAYER");
  return name;
}

}  // namespace tesmar
