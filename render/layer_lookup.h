#pragma once
// Name -> first index of LayerAry, built once so that passes over many records do not scan the
// layer table per record. Answers exactly as the model's layer operations do (exact names,
// first match wins). Valid while LayerAry is not changed.
#include <cstdint>
#include <string>
#include <unordered_map>

#include "dxf/model.h"

namespace tesmar {

class LayerLookup {
 public:
  explicit LayerLookup(const TDrawingModel& m) : m_(m) {
    for (std::size_t i = 0; i < m.LayerAry.size(); ++i) index_.emplace(m.LayerAry[i].Name, static_cast<std::int32_t>(i));
  }
  // As GetLayerIndex: -1 for an unknown name.
  std::int32_t Index(const std::u16string& name) const {
    auto it = index_.find(name);
    return it == index_.end() ? -1 : it->second;
  }
  // As LayerVisible: true for an unknown name.
  bool Visible(const std::u16string& name) const {
    const std::int32_t i = Index(name);
    return i < 0 || m_.LayerAry[i].visible;
  }
  const TLayer* Find(const std::u16string& name) const {
    const std::int32_t i = Index(name);
    return i < 0 ? nullptr : &m_.LayerAry[i];
  }

 private:
  const TDrawingModel& m_;
  std::unordered_map<std::u16string, std::int32_t> index_;
};

}  // namespace tesmar
