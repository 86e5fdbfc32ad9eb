#include "dxf/name.h"

#include <mutex>
#include <unordered_set>

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

// Every text ever named. Elements of an unordered_set keep their address when it grows.
struct Pool {
  std::mutex mutex;
  std::unordered_set<std::u16string, TextHash, TextEqual> texts;
};

Pool& ThePool() {
  static Pool* pool = new Pool;  // never destroyed: names may be read during static destruction
  return *pool;
}

}  // namespace

const std::u16string& TName::EmptyText() noexcept {
  static const std::u16string* empty = new std::u16string;
  return *empty;
}

TName::TName(std::u16string_view text) : text_(&EmptyText()) {
  if (text.empty()) return;
  Pool& pool = ThePool();
  std::lock_guard lock(pool.mutex);
  auto it = pool.texts.find(text);
  if (it == pool.texts.end()) it = pool.texts.emplace(text).first;
  text_ = &*it;
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
