#pragma once
// The search index of a top folder read on a thread of its own while the user does other
// things, so that the first search finds the folders already read and only checks their write
// times. One thread uses the index at a time: the walk while it runs, the owner once it has
// ended (Finished, then Join) or was left behind (Stop).
//
// A walk owns its state (index, counts, stop flag) together with its thread: a walk that is
// left behind (another top folder, Stop) ends on its own after its current folder, touching
// only that state, and is joined later without the owner waiting for it, or at the end.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "library/search_index.h"

namespace tesmar {

class BackgroundIndex {
 public:
  BackgroundIndex();
  // Asks every walk to stop and waits for them.
  ~BackgroundIndex();
  BackgroundIndex(const BackgroundIndex&) = delete;
  BackgroundIndex& operator=(const BackgroundIndex&) = delete;

  // Starts a walk of `top` (a running one is left behind, without waiting for it). `prepare`
  // runs first on the new thread (to lower its priority). The index carries over from a walk
  // that had ended; one left behind keeps its own.
  void Start(std::u16string top, std::u16string ext, std::function<void()> prepare = {});
  // Asks a running walk to stop after its current folder; what it read stays.
  void RequestStop();
  // Leaves a running walk behind without waiting for it (it stops after its current folder):
  // the owner gets a fresh index at once. A walk that has ended is joined and keeps its index.
  void Stop();
  // Waits for a walk that has ended (Finished); at once when none runs.
  void Join();

  // A walk was started and not joined yet: true while it runs and after it ended (Finished)
  // until Join or Stop.
  bool HasWalk() const { return thread_.joinable(); }
  // The walk has ended: read to its end, stopped, or failed (Error).
  bool Finished() const { return walk_->ended.load(); }
  const std::u16string& Top() const { return top_; }
  // The folders walked and known so far by the running walk.
  int Done() const { return walk_->done.load(); }
  int Known() const { return walk_->known.load(); }
  // Why the walk failed (its index is then empty); empty when it did not. Once Finished.
  const std::string& Error() const { return walk_->error; }
  // Walks left behind that have not been joined yet.
  std::size_t LeftBehind() const { return behind_.size(); }

  // The index, only while no walk runs.
  SearchIndex& Index() { return walk_->index; }

 private:
  struct Walk {
    SearchIndex index;
    std::atomic<bool> stop{false}, ended{false};
    std::atomic<int> done{0}, known{0};
    std::string error;  // written by the walk before `ended`
  };
  void JoinEnded();  // joins the walks left behind that have ended
  std::shared_ptr<Walk> walk_;
  std::u16string top_;
  std::thread thread_;
  std::vector<std::pair<std::shared_ptr<Walk>, std::thread>> behind_;
};

}  // namespace tesmar
