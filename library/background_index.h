#pragma once
// The search index of a top folder read on a thread of its own while the user does other
// things, so that the first search finds the folders already read and only checks their write
// times. One thread uses the index at a time: the walk while it runs, the owner once it has
// ended (Finished, then Join) or was stopped (Stop).
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "library/search_index.h"

namespace tesmar {

class BackgroundIndex {
 public:
  BackgroundIndex() = default;
  ~BackgroundIndex() { Stop(); }
  BackgroundIndex(const BackgroundIndex&) = delete;
  BackgroundIndex& operator=(const BackgroundIndex&) = delete;

  // Starts a walk of `top` (a running one is stopped first). `prepare` runs first on the new
  // thread (to lower its priority).
  void Start(std::u16string top, std::u16string ext, std::function<void()> prepare = {});
  // Asks a running walk to stop after its current folder; what it read stays.
  void RequestStop() { stop_ = true; }
  // RequestStop, then Join.
  void Stop();
  // Waits for a walk that has ended (Finished); at once when none runs.
  void Join();

  bool Running() const { return thread_.joinable(); }
  bool Finished() const { return ended_.load(); }
  const std::u16string& Top() const { return top_; }
  // The folders walked and known so far by the running walk.
  int Done() const { return done_.load(); }
  int Known() const { return known_.load(); }

  // The index, only while no walk runs.
  SearchIndex& Index() { return index_; }

 private:
  SearchIndex index_;
  std::u16string top_;
  std::thread thread_;
  std::atomic<bool> stop_{false}, ended_{false};
  std::atomic<int> done_{0}, known_{0};
};

}  // namespace tesmar
