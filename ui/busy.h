#pragma once
// The program does one long thing at a time. A handler that lets window messages through while
// it works (the wait for the converter, a call to the CAD program) holds the busy mark for its
// length, with the text its status field shows meanwhile; a request that arrives in between
// finds the mark taken and is refused.
#include <string>
#include <string_view>

namespace tesmar::ui {

class BusyMark {
 public:
  bool Busy() const { return depth_ > 0; }
  // The status text of the work that holds the mark (empty when none).
  const std::u16string& Status() const { return status_; }
  // The work's status text when it changes while the work runs (nothing when none runs).
  void SetStatus(std::u16string_view status) {
    if (Busy()) status_ = status;
  }

 private:
  friend class BusyScope;
  int depth_ = 0;
  std::u16string status_;
};

class BusyScope {
 public:
  // Takes the mark with the status text of the work; when it is taken already, nothing is
  // taken and Refused() is true.
  BusyScope(BusyMark& mark, std::u16string_view status) : mark_(mark), refused_(mark.Busy()) {
    if (refused_) return;
    ++mark_.depth_;
    mark_.status_ = status;
  }
  ~BusyScope() {
    if (refused_) return;
    --mark_.depth_;
    mark_.status_.clear();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  bool Refused() const { return refused_; }

 private:
  BusyMark& mark_;
  bool refused_;
};

// Added to the status text of the running work when a request is refused.
inline constexpr char16_t kBusyRefusedMark[] = u"(処理中)";

}  // namespace tesmar::ui
