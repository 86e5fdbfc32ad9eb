#include "library/page_fill_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <list>
#include <mutex>

#include "base/path_parts.h"
#include "base/silent_abort.h"
#include "dwg/dwg_thumbnail_win.h"
#include "library/catalogue.h"
#include "library/preview_fit.h"

namespace tesmar {

namespace {

// The fitted pictures, the last used first; bounded in bytes.
class PreviewCache {
 public:
  struct Key {
    std::u16string path;
    std::uint64_t time = 0, length = 0;
    int w = 0, h = 0;
    bool clip = false;
    bool operator==(const Key&) const = default;
  };
  bool Find(const Key& key, RgbImage& cell, bool& shown) {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (!(it->key == key)) continue;
      entries_.splice(entries_.begin(), entries_, it);
      cell = it->cell;
      shown = it->shown;
      ++stats_.hits;
      return true;
    }
    ++stats_.misses;
    return false;
  }
  void Keep(Key key, const RgbImage& cell, bool shown) {
    std::lock_guard lock(mutex_);
    const std::size_t bytes = Bytes(cell);
    entries_.push_front(Entry{std::move(key), cell, shown});
    stats_.bytes += bytes;
    while (stats_.bytes > kBudget && entries_.size() > 1) {
      stats_.bytes -= Bytes(entries_.back().cell);
      entries_.pop_back();
    }
  }
  PreviewCacheStats State() {
    std::lock_guard lock(mutex_);
    PreviewCacheStats s = stats_;
    s.pictures = entries_.size();
    return s;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    stats_ = {};
  }

 private:
  static constexpr std::size_t kBudget = std::size_t{64} << 20;  // some pages of large cells
  static std::size_t Bytes(const RgbImage& cell) {
    return static_cast<std::size_t>(cell.width) * cell.height * sizeof(Rgb) + 64;
  }
  struct Entry {
    Key key;
    RgbImage cell;
    bool shown = false;
  };
  std::mutex mutex_;
  std::list<Entry> entries_;
  PreviewCacheStats stats_;
};

PreviewCache& Cache() {
  static PreviewCache cache;
  return cache;
}

// The file's last write time and length; false when it cannot be read.
bool StampOf(const std::u16string& path, std::uint64_t& time, std::uint64_t& length) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(reinterpret_cast<const wchar_t*>(path.c_str()), GetFileExInfoStandard, &data))
    return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  time = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
  length = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return true;
}

// `cell` is black at its size on entry.
bool DrawFromFile(const std::u16string& path, bool clip, RgbImage& cell) {
  RgbImage preview;
  try {
    if (LoadDwgThumbnail(path, preview)) {
      FitPreviewIntoCell(preview, cell, clip);
      return true;
    }
  } catch (const SilentAbort&) {
    // A damaged file shows the placeholder in its own cell; the rest of the page goes on.
    cell = RgbImage(cell.width, cell.height, kRgbBlack);
  }
  DrawPlaceholderCross(cell);
  return false;
}

}  // namespace

bool DrawPreviewCell(const std::u16string& path, int w, int h, bool clip, RgbImage& cell) {
  w = std::max(1, w), h = std::max(1, h);
  PreviewCache::Key key{path, 0, 0, w, h, clip};
  if (path.empty() || !StampOf(path, key.time, key.length)) {
    cell = RgbImage(w, h, kRgbBlack);
    return false;
  }
  bool shown = false;
  if (Cache().Find(key, cell, shown)) return shown;
  cell = RgbImage(w, h, kRgbBlack);
  shown = DrawFromFile(path, clip, cell);
  Cache().Keep(std::move(key), cell, shown);
  return shown;
}

PreviewCacheStats PreviewCacheState() { return Cache().State(); }
void ClearPreviewCache() { Cache().Clear(); }

void FillGridPage(const GridModel& grid, const std::u16string& folder, int cells, int w, int h, bool clip,
                  const std::function<void(int, const std::u16string&, const RgbImage&)>& show) {
  static const std::u16string none;
  RgbImage picture;
  for (int i = 0; i < cells; ++i) {
    const std::u16string* name = grid.DrawingOfCell(i);
    DrawPreviewCell(name ? JoinPath(folder, *name) : none, w, h, clip, picture);
    show(i, name ? *name : none, picture);
  }
}

}  // namespace tesmar
