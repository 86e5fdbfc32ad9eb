#include "library/search_index.h"

#include <algorithm>
#include <deque>
#include <system_error>
#include <unordered_map>

#include "base/path_parts.h"
#include "base/strings.h"
#include "base/textfile.h"
#include "library/catalogue.h"
#include "library/hint_file.h"
#include "library/search_text.h"
#include "library/folder_entries.h"

namespace tesmar {
namespace fs = std::filesystem;

std::u16string FoundDrawing::RelativePath() const { return folder.empty() ? name : JoinPath(folder, name); }

namespace {

// The descriptions of a hint file by key, the first line of a key winning, as the hover reads
// them.
std::unordered_map<std::u16string, std::u16string> ReadDescriptions(const fs::path& hint) {
  std::unordered_map<std::u16string, std::u16string> out;
  std::string bytes;
  if (!ReadFileBytes(hint, bytes)) return out;
  for (const auto& line : ParseHintFile(bytes).Texts()) {
    auto fields = ParseHintFields(line);
    if (fields.size() >= 2) out.emplace(UpperCase16(fields[0]), std::move(fields[1]));
  }
  return out;
}

}  // namespace

void SearchIndex::Clear() {
  top_.clear();
  ext_.clear();
  folders_.clear();
  ordered_.clear();
}

void SearchIndex::Read(const std::u16string& relative, Folder& folder) const {
  folder.children.clear();
  folder.drawings.clear();
  const std::u16string path = relative.empty() ? top_ : JoinPath(top_, relative);
  std::vector<FolderEntry> entries;
  ListFolderEntries(path, entries);
  for (auto& e : entries) {
    if (e.folder) {
      folder.children.push_back(std::move(e.name));
    } else if (EndsWithIgnoreCase16(e.name, ext_)) {
      folder.drawings.push_back(Drawing{std::move(e.name), {}, {}, {}});
    }
  }
  std::unordered_map<std::u16string, std::u16string> descriptions;
  if (folder.hintWritten && !folder.drawings.empty()) descriptions = ReadDescriptions(PathFromU16(JoinPath(path, kHintFileName)));
  for (auto& d : folder.drawings) {
    if (auto at = descriptions.find(HintKeyOfName(d.name)); at != descriptions.end()) d.description = at->second;
    d.foldedName = FoldForSearch(WithoutExtension(d.name, u""));
    d.foldedDescription = FoldForSearch(d.description);
  }
  std::sort(folder.drawings.begin(), folder.drawings.end(),
            [](const Drawing& a, const Drawing& b) { return NameOrderLess(a.name, b.name); });
}

IndexWalk SearchIndex::Refresh(std::u16string_view top, std::u16string_view ext, const Progress& progress) {
  if (top != top_ || !EqualsIgnoreCase16(ext, ext_)) {
    Clear();
    top_ = std::u16string(top);
    ext_ = std::u16string(ext);
  }
  IndexWalk walk;
  std::map<std::u16string, Folder> seen;
  std::deque<std::u16string> queue{u""};
  int known = 1;
  while (!queue.empty()) {
    std::u16string relative = std::move(queue.front());
    queue.pop_front();
    const std::u16string path = relative.empty() ? top_ : JoinPath(top_, relative);
    const std::optional<std::uint64_t> written = WriteStampOf(path);
    if (!written) continue;  // gone meanwhile (or the top folder is missing)
    const std::optional<std::uint64_t> hintWritten = WriteStampOf(JoinPath(path, kHintFileName));

    Folder folder;
    auto old = folders_.find(relative);
    if (old != folders_.end() && old->second.written == *written && old->second.hintWritten == hintWritten) {
      folder = std::move(old->second);
    } else {
      folder.written = *written;
      folder.hintWritten = hintWritten;
      Read(relative, folder);
      ++walk.foldersRead;
    }
    if (old != folders_.end()) folders_.erase(old);
    ++walk.folders;
    walk.drawings += static_cast<int>(folder.drawings.size());
    for (const auto& child : folder.children) queue.push_back(relative.empty() ? child : JoinPath(relative, child));
    known += static_cast<int>(folder.children.size());
    seen.emplace(std::move(relative), std::move(folder));
    if (progress && !progress(walk.folders, known)) {
      // What was read stays; the folders not reached keep what they held, to be checked by the
      // next walk.
      walk.cancelled = true;
      seen.merge(folders_);
      break;
    }
  }
  folders_ = std::move(seen);  // folders no longer there are dropped
  Order();
  return walk;
}

void SearchIndex::Order() {
  std::vector<const std::pair<const std::u16string, Folder>*> folders;
  for (const auto& f : folders_) folders.push_back(&f);
  std::sort(folders.begin(), folders.end(), [](const auto* a, const auto* b) { return NameOrderLess(a->first, b->first); });
  ordered_.clear();
  for (const auto* f : folders)
    for (const auto& d : f->second.drawings) ordered_.emplace_back(&f->first, &d);
}

std::vector<FoundDrawing> SearchIndex::Find(std::u16string_view text) const {
  std::vector<FoundDrawing> found;
  const SearchQuery query(text);
  if (query.Empty()) return found;
  for (const auto& [folder, d] : ordered_)
    if (query.Matches(d->foldedName, d->foldedDescription)) found.push_back(FoundDrawing{*folder, d->name});
  return found;
}

std::u16string SearchIndex::DescriptionOf(const FoundDrawing& drawing) const {
  auto f = folders_.find(drawing.folder);
  if (f == folders_.end()) return {};
  for (const auto& d : f->second.drawings)
    if (d.name == drawing.name) return d.description;
  return {};
}

}  // namespace tesmar
