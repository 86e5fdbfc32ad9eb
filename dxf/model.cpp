#include "dxf/model.h"

#include <cmath>

namespace tesmar {

void ClearAll(TDrawingModel& m) {
  ForEachTable(m, [](const char*, auto& table) {
    table.clear();
    table.shrink_to_fit();
  });
  m.expansionCut = false;
}

std::vector<TTableCount> TableCounts(const TDrawingModel& m) {
  std::vector<TTableCount> counts;
  ForEachTable(m, [&](const char* name, const auto& table) { counts.push_back({name, table.size()}); });
  return counts;
}

TAcadPoint MakeAcadPoint(double x, double y, double z) { return {x, y, z}; }

namespace {

// First layer of that name, or null.
template <class Model>
auto FindLayer(Model& m, std::u16string_view name) -> decltype(&m.LayerAry[0]) {
  for (auto& layer : m.LayerAry)
    if (layer.Name == name) return &layer;
  return nullptr;
}

}  // namespace

std::int16_t GetLayerColor(TDrawingModel& m, std::u16string_view name) {
  if (const TLayer* layer = FindLayer(m, name)) return layer->color;
  TLayer added;
  added.Name = std::u16string(name);
  m.LayerAry.push_back(std::move(added));
  return 7;
}

std::int32_t GetLayerIndex(const TDrawingModel& m, std::u16string_view name) {
  for (std::size_t i = 0; i < m.LayerAry.size(); ++i)
    if (m.LayerAry[i].Name == name) return static_cast<std::int32_t>(i);
  return -1;
}

bool LayerVisibleAt(const TDrawingModel& m, std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= m.LayerAry.size()) return true;
  return m.LayerAry[static_cast<std::size_t>(index)].visible;
}

bool LayerVisible(const TDrawingModel& m, std::u16string_view name) {
  const TLayer* layer = FindLayer(m, name);
  return layer ? layer->visible : true;
}

void SetLayerVisible(TDrawingModel& m, std::u16string_view name, bool value) {
  if (TLayer* layer = FindLayer(m, name)) layer->visible = value;
}

}  // namespace tesmar
