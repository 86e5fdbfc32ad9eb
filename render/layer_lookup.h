#pragma once
// Name -> first index of LayerAry, built once so that passes over many records do not scan the
// layer table per record. Answers exactly as the model's layer operations do (exact names,
// first match wins). Valid while LayerAry is not changed. A record's TName layer is found by
// its handle; a plain string by its text.
#include <cstdint>
#include <string>
#include <unordered_map>

#include "dxf/model.h"

namespace tesmar {

class LayerLookup {
 public:
  explicit LayerLookup(const TDrawingModel& m) : m_(m) {
    for (std::size_t i = 0; i < m.LayerAry.size(); ++i) {
      index_.emplace(m.LayerAry[i].Name, static_cast<std::int32_t>(i));
      byName_.emplace(TName(m.LayerAry[i].Name), static_cast<std::int32_t>(i));
    }
    auto empty = byName_.find(last_);
    lastIndex_ = empty == byName_.end() ? -1 : empty->second;
  }
  // As GetLayerIndex: -1 for an unknown name.
  std::int32_t Index(const std::u16string& name) const {
    auto it = index_.find(name);
    return it == index_.end() ? -1 : it->second;
  }
  std::int32_t Index(const char16_t* name) const { return Index(std::u16string(name)); }
  std::int32_t Index(TName name) const {
    // Records of one block or one source come in runs with the same layer.
    if (name == last_) return lastIndex_;
    auto it = byName_.find(name);
    last_ = name;
    return lastIndex_ = it == byName_.end() ? -1 : it->second;
  }
  // As LayerVisible: true for an unknown name.
  template <class Name>
  bool Visible(const Name& name) const {
    const std::int32_t i = Index(name);
    return i < 0 || m_.LayerAry[i].visible;
  }
  template <class Name>
  const TLayer* Find(const Name& name) const {
    const std::int32_t i = Index(name);
    return i < 0 ? nullptr : &m_.LayerAry[i];
  }

 private:
  const TDrawingModel& m_;
  std::unordered_map<std::u16string, std::int32_t> index_;
  std::unordered_map<TName, std::int32_t> byName_;
  mutable TName last_{};
  mutable std::int32_t lastIndex_ = -1;
};

}  // namespace tesmar
