#include "cadlink/target_list.h"

#include <algorithm>

#include "base/strings.h"

namespace tesmar {

TargetRowParts SplitTargetRow(std::u16string_view row) {
  std::size_t tab = row.find(u'\t');
  if (tab == std::u16string_view::npos) return {u"", std::u16string(row)};
  return {std::u16string(row.substr(0, tab)), std::u16string(row.substr(tab + 1))};
}

std::u16string JoinTargetRow(std::u16string_view name, std::u16string_view progId) {
  return std::u16string(name) + u'\t' + std::u16string(progId);
}

bool RowMatchesTarget(std::u16string_view row, std::u16string_view progId) {
  return row.find(u"\t" + std::u16string(progId)) != std::u16string_view::npos;
}

namespace {
bool SortsBefore(const std::u16string& a, const std::u16string& b) { return CompareIgnoreCase16(a, b) < 0; }
}  // namespace

void TargetList::Load(const std::vector<std::u16string>& lines, std::u16string_view targetProgId) {
  rows_ = lines;
  std::stable_sort(rows_.begin(), rows_.end(), SortsBefore);
  selected_ = -1;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (RowMatchesTarget(rows_[i], targetProgId)) {
      Select(static_cast<int>(i));
      break;
    }
  }
}

void TargetList::Select(int index) {
  if (index < 0 || index >= static_cast<int>(rows_.size())) {
    selected_ = -1;
    return;
  }
  selected_ = index;
  TargetRowParts parts = SplitTargetRow(rows_[index]);
  name = std::move(parts.name);
  progId = std::move(parts.progId);
}

void TargetList::Add() {
  std::u16string row = JoinTargetRow(name, progId);
  rows_.insert(std::upper_bound(rows_.begin(), rows_.end(), row, SortsBefore), row);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (EqualsIgnoreCase16(rows_[i], row)) {
      Select(static_cast<int>(i));
      break;
    }
  }
}

bool TargetList::Delete() {
  if (selected_ < 0) return false;
  const int k = selected_;
  rows_.erase(rows_.begin() + k);
  selected_ = -1;
  name.clear();
  progId.clear();
  const int left = static_cast<int>(rows_.size());
  if (k + 1 < left) Select(k);
  else if (k - 1 >= 0) Select(k - 1);
  return true;
}

bool TargetList::Change() {
  if (selected_ < 0) return false;
  rows_[selected_] = JoinTargetRow(name, progId);
  return true;
}

bool ReadTargetListFile(const std::u16string& file, TextLines& text) {
  return ReadExistingTextLines(PathFromU16(file), text);
}

void WriteTargetListFile(const std::u16string& file, TextLines& text, const std::vector<std::u16string>& rows) {
  text.lines = rows;
  text.finalLineEnd = true;
  WriteTextLines(PathFromU16(file), text);
}

std::u16string CurrentTargetText(std::u16string_view name, std::u16string_view progId) {
  std::u16string text = u"現在のターゲット: ";
  if (progId.empty()) return text + u"(なし)";
  if (name.empty()) return text + std::u16string(progId);
  return text + std::u16string(name) + u" (" + std::u16string(progId) + u")";
}

}  // namespace tesmar
