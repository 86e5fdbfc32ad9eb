#pragma once
// What the post-processing may spend on the parts of a drawing whose size the file asks for
// rather than holds: the copies of the block expansion (the cells of array INSERTs included)
// and the lines of hatch patterns. A few bytes of a file can ask for billions of either, so
// they share one budget per drawing: records added, and steps of work done whether or not they
// add anything. Once either is spent, the steps that take from it add nothing more, and the
// drawing says it is drawn in part (`expansionCut`).
//
// The budget also carries the opening's stop: Step asks it every so many steps and throws
// TPostStopped when it says stop.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>

namespace tesmar {

// Thrown out of the post-processing and the render index when their stop says so.
struct TPostStopped {};

// Asked now and then during the post-processing; true: stop.
using TStopCheck = std::function<bool()>;

class TWorkBudget {
 public:
  // About 350 MB of records; the steps take about a second.
  static constexpr std::size_t kRecords = 3000000;
  static constexpr std::uint64_t kSteps = 100000000;
  // How many steps one placed block costs besides one per record it copies (the placing itself).
  static constexpr std::uint64_t kVisitSteps = 16;

  TWorkBudget() = default;
  TWorkBudget(std::size_t records, std::uint64_t steps) : records_(records), steps_(steps) {}

  void SetStop(TStopCheck stop) { stop_ = std::move(stop); }
  // Throws TPostStopped when the stop says so.
  void CheckStop() const {
    if (stop_ && stop_()) throw TPostStopped{};
  }

  // Takes room for n records: false (and the budget is spent) when they do not fit.
  bool TakeRecords(std::size_t n) {
    if (cut_ || n > records_) return Spend();
    records_ -= n;
    return true;
  }
  // Counts n steps of work: false (and the budget is spent) when there were not that many left.
  bool Step(std::uint64_t n = 1) {
    if (cut_ || n > steps_) return Spend();
    steps_ -= n;
    sinceCheck_ += n;
    if (sinceCheck_ >= kStepsBetweenChecks) {
      sinceCheck_ = 0;
      CheckStop();
    }
    return true;
  }
  // Counts one step of work that the budget does not charge (turning what was made into
  // records), so that the stop is still asked as often.
  void Tick() {
    if (++sinceCheck_ >= kStepsBetweenChecks) {
      sinceCheck_ = 0;
      CheckStop();
    }
  }
  // True once something was left out.
  bool Cut() const { return cut_; }
  std::size_t RecordsLeft() const { return cut_ ? 0 : records_; }

 private:
  // Steps between two questions to the stop: well under a millisecond of work.
  static constexpr std::uint64_t kStepsBetweenChecks = 1 << 16;
  bool Spend() {
    cut_ = true;
    return false;
  }

  std::size_t records_ = kRecords;
  std::uint64_t steps_ = kSteps;
  std::uint64_t sinceCheck_ = 0;
  bool cut_ = false;
  TStopCheck stop_;
};

}  // namespace tesmar
