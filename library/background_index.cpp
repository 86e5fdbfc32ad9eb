#include "library/background_index.h"

#include <utility>

namespace tesmar {

void BackgroundIndex::Start(std::u16string top, std::u16string ext, std::function<void()> prepare) {
  Stop();
  top_ = top;
  stop_ = false;
  ended_ = false;
  done_ = 0;
  known_ = 1;
  thread_ = std::thread([this, top = std::move(top), ext = std::move(ext), prepare = std::move(prepare)] {
    if (prepare) prepare();
    index_.Refresh(top, ext, [this](int done, int known) {
      done_ = done;
      known_ = known;
      return !stop_.load();
    });
    ended_ = true;
  });
}

void BackgroundIndex::Stop() {
  RequestStop();
  Join();
}

void BackgroundIndex::Join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace tesmar
