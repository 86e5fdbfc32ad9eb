#pragma once
// The connection to the running CAD program: the thread's COM message filter, the look-up of
// the running program by its ProgID, and the sending of one command text through the program's
// automation interface (late-bound HWND, ActiveDocument, SendCommand).
#include <windows.h>
#include <objidl.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace tesmar {

// The thread's message filter while the main window lives: incoming calls are always handled;
// a call the CAD program rejects as busy (SERVERCALL_RETRYLATER, as it answers while one of its
// own dialogs is open) is tried again every 1000 ms for up to 30 s and then cancelled, and any
// other rejection cancels it at once. While an outgoing call waits, the window repaints but its
// input waits in the queue, so no other handler runs in between.
class TMessageFilter : public IMessageFilter {
 public:
  static constexpr DWORD kRetryAfterMs = 1000;
  static constexpr DWORD kRetryForMs = 30000;
  // A new filter with one reference, held by the caller.
  static TMessageFilter* Create();
  // Registers this filter for the thread and keeps the one it replaces. False when the thread
  // has no single-threaded COM apartment (no filter can be registered there).
  bool RegisterFilter();
  // Puts the filter that was registered before back.
  void RevokeFilter();
  // How long a busy program is waited for before the call is cancelled.
  void SetRetryFor(DWORD ms) { retryForMs_ = ms; }
  DWORD RetryFor() const { return retryForMs_; }
  // Told each time a busy rejection is to be tried again, with the time waited so far.
  void SetOnRetry(std::function<void(DWORD waitedMs)> onRetry) { onRetry_ = std::move(onRetry); }
  void NotifyRetry(DWORD waitedMs) const {
    if (onRetry_) onRetry_(waitedMs);
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IMessageFilter
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                             LPINTERFACEINFO info) override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

 private:
  TMessageFilter() = default;
  virtual ~TMessageFilter();
  LONG refs_ = 1;
  IMessageFilter* FOldFilter = nullptr;
  DWORD retryForMs_ = kRetryForMs;
  std::function<void(DWORD)> onRetry_;
};

// The error box's text when the system has no text of its own for a failure of the link: the
// CAD program was not found or did not answer; the ProgID and the code follow.
// The status field's text while a busy CAD program is waited for.
inline constexpr char16_t kCadWaitStatus[] = u"CAD の応答待ち ... ";
inline constexpr char16_t kCadNotAnsweringText[] = u"CAD プログラムが見つからないか、応答しませんでした．";

// True when a running object is registered for the ProgID's class. A ProgID that the system
// does not know (an empty one included) raises an error with the platform's message.
bool IsTargetCadRunning(std::u16string_view progId);

// Sends one command to the running CAD program: nothing when it does not run; otherwise its
// window is restored when minimised (then 500 ms pass), brought to the front, given one Escape
// key press when it did come to the front, and the command followed by one carriage return is
// handed to SendCommand of its active document. A busy program is waited for within the bound
// of `filter` (the thread's registered filter; 30 s without one). Errors carry the platform's
// or the program's message, else kCadNotAnsweringText with the ProgID.
void SendToTargetCad(std::u16string_view progId, std::u16string_view command, TMessageFilter* filter = nullptr);

}  // namespace tesmar
