// Handlers of the main window for the search across the library: the search dialog, the walk
// of the top folder (library/search_index.h) and the result shown like a folder.
#include <windows.h>

#include "app/main_form_win.h"
#include "base/flag_scope.h"
#include "base/path_parts.h"
#include "base/strings.h"
#include "library/catalogue.h"
#include "library/drawing_search_texts.h"
#include "ui/topmost.h"

namespace tesmar {
namespace {

// Lets pending messages through as ProcessMessages does, but takes an Esc key press out of the
// queue as the request to stop. True when Esc was pressed.
bool ProcessMessagesTakingEscape() {
  MSG msg;
  bool escape = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      escape = true;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return escape;
}

}  // namespace

TSearchForm& TTesmarMainForm::SearchForm() {
  if (!searchForm_) {
    searchForm_ = std::make_unique<TSearchForm>();
    searchForm_->Create(hwnd());
  }
  return *searchForm_;
}

void TTesmarMainForm::N15Click() {
  if (searchWalking_ || g_cmb2Busy || cmb1Walking_) return;
  StopPaging();
  std::optional<std::u16string> text;
  {
    ui::TopmostStepOut step(hwnd(), SearchForm().hwnd());
    text = SearchForm().Execute(searchHistory_);
  }
  if (text) SearchDrawings(*text);
}

bool TTesmarMainForm::HandleShortcut(const MSG& msg) {
  if (HandleGridKey(msg)) return true;
  if (msg.message != WM_KEYDOWN || msg.wParam != 'F' || !(GetKeyState(VK_CONTROL) & 0x8000)) return false;
  if (!msg.hwnd || (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd))) return false;
  ui::RunGuarded([this] { N15Click(); });
  return true;
}

void TTesmarMainForm::StartSearchIndex() {
  const std::u16string top = topFolders.Chosen();
  // Not while a search walks the index on this thread: it starts one when it ends.
  if (top.empty() || searchWalking_) return;
  if (searchIndex_.HasWalk() && searchIndex_.Top() == top) return;
  searchIndex_.Start(top, g_dxfExt, [] { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); });
}

bool TTesmarMainForm::SearchDrawings(const std::u16string& text) {
  const std::u16string top = topFolders.Chosen();
  // Not while a walk or a page fill of the lists runs (their progress lets messages through).
  if (top.empty() || searchWalking_ || g_cmb2Busy || cmb1Walking_) return false;
  RememberSearchText(searchHistory_, text);
  {
    FlagScope walking(searchWalking_);
    // The count and a look at the keys every 50 ms (from the first folder on), and at the end:
    // each look costs more than a folder whose listing is reused.
    ULONGLONG looked = 0;
    auto progress = [&](int done, int known) {
      const ULONGLONG now = GetTickCount64();
      if (looked != 0 && now - looked < 50 && done != known) return true;
      looked = now;
      Edit1().SetText(kSearchingText + IntToStr16(done) + u" / " + IntToStr16(known));
      return !ProcessMessagesTakingEscape() && topFolders.Chosen() == top;
    };
    if (searchIndex_.HasWalk() && searchIndex_.Top() != top) searchIndex_.Stop();
    // The walk in the background goes on to its end; this one then only checks write times.
    bool stopped = false;
    while (!stopped && searchIndex_.HasWalk() && !searchIndex_.Finished()) {
      stopped = !progress(searchIndex_.Done(), searchIndex_.Known());
      if (!stopped) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    if (stopped) {
      lastWalk_ = IndexWalk{searchIndex_.Done(), 0, 0, true};
    } else {
      searchIndex_.Join();
      lastWalk_ = searchIndex_.Index().Refresh(top, g_dxfExt, progress);
    }
  }
  if (lastWalk_.cancelled) {
    // Stopped by Esc, or the top folder changed meanwhile (which showed its own folders and
    // leaves its reading to the background).
    if (topFolders.Chosen() == top) {
      Edit1().SetText(kSearchCancelledText);
    } else {
      StartSearchIndex();
    }
    return false;
  }

  const std::vector<FoundDrawing> found = searchIndex_.Index().Find(text);
  std::vector<std::u16string> names;
  names.reserve(found.size());
  for (const auto& f : found) names.push_back(f.RelativePath());

  // ComboBox2 shows the search as its last entry, selected; the folders stay above it.
  if (searching_) ComboBox2().Delete(ComboBox2().Count() - 1);
  searching_ = true;
  const std::u16string caption = kSearchCaptionPrefix + text + u" (" + IntToStr16(static_cast<long long>(names.size())) + u")";
  ComboBox2().SetItemIndex(ComboBox2().Add(caption));

  ComboBox3().Clear();
  {
    // Thousands of entries: room for them at once and one repaint at the end.
    HWND list = ComboBox3().hwnd();
    SendMessageW(list, CB_INITSTORAGE, names.size(), names.size() * 64);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const auto& name : names) ComboBox3().Add(name);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
  grid.SetOrderedDrawings(std::move(names));
  g_dxfPath = WithTrailingSeparator(top);
  SetWindowTextW(hwnd(), WidePtr(caption));
  Edit1().SetText(u"");
  if (grid.Count() > 0) {
    ComboBox3().SetItemIndex(0);
    FillPage();
    Label1().SetText(grid.Label());
  } else {
    BlankCells();
    Label1().SetText(u"");
    Edit1().SetText(kNothingFoundText);
  }
  return true;
}

void TTesmarMainForm::LeaveSearch() {
  if (!searching_) return;
  searching_ = false;
  const int entry = ComboBox2().Count() - 1;  // the search's own, the last
  const int picked = ComboBox2().ItemIndex();
  ComboBox2().Delete(entry);
  ComboBox2().SetItemIndex(picked == entry ? -1 : picked);
}

std::u16string TTesmarMainForm::ChosenDrawingPath() const {
  if (searching_) return JoinPath(WithTrailingSeparator(topFolders.Chosen()), ComboBox3().Text());
  return DrawingPathOf(topFolders.Chosen(), ComboBox2().Text(), ComboBox3().Text());
}

}  // namespace tesmar
