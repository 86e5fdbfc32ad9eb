#include "library/background_index.h"

#include <exception>
#include <utility>

namespace tesmar {

BackgroundIndex::BackgroundIndex() : walk_(std::make_shared<Walk>()) {}

BackgroundIndex::~BackgroundIndex() {
  walk_->stop = true;
  if (thread_.joinable()) thread_.join();
  for (auto& [walk, thread] : behind_) {
    walk->stop = true;
    if (thread.joinable()) thread.join();
  }
}

void BackgroundIndex::JoinEnded() {
  for (auto it = behind_.begin(); it != behind_.end();) {
    if (it->first->ended) {
      it->second.join();
      it = behind_.erase(it);
    } else {
      ++it;
    }
  }
}

void BackgroundIndex::Start(std::u16string top, std::u16string ext, std::function<void()> prepare) {
  Stop();
  JoinEnded();
  auto walk = std::make_shared<Walk>();
  walk->index = std::move(walk_->index);  // what an ended walk read (empty after Stop of a running one)
  walk->known = 1;
  walk_ = walk;
  top_ = top;
  thread_ = std::thread([walk, top = std::move(top), ext = std::move(ext), prepare = std::move(prepare)] {
    // Nothing thrown here may end the program: the walk ends, its index empty, with the reason.
    try {
      if (prepare) prepare();
      walk->index.Refresh(top, ext, [&walk = *walk](int done, int known) {
        walk.done = done;
        walk.known = known;
        return !walk.stop.load();
      });
    } catch (const std::exception& e) {
      walk->index.Clear();
      walk->error = e.what();
    } catch (...) {
      walk->index.Clear();
      walk->error = "unknown error";
    }
    walk->ended = true;
  });
}

void BackgroundIndex::RequestStop() { walk_->stop = true; }

void BackgroundIndex::Stop() {
  if (!thread_.joinable()) return;
  walk_->stop = true;
  if (walk_->ended) {
    thread_.join();
    return;
  }
  behind_.emplace_back(walk_, std::move(thread_));
  auto fresh = std::make_shared<Walk>();
  fresh->ended = true;
  walk_ = std::move(fresh);
}

void BackgroundIndex::Join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace tesmar
