#pragma once
// The connection to the running CAD program: the thread's COM message filter, the look-up of
// the running program by its ProgID, and the sending of one command text through the program's
// automation interface (late-bound HWND, ActiveDocument, SendCommand).
#include <windows.h>
#include <objidl.h>

#include <functional>
#include <string>
#include <string_view>

#include "ui/com.h"

namespace tesmar {

// The thread's message filter while the main window lives: incoming calls are always handled;
// a call the CAD program rejects as busy (SERVERCALL_RETRYLATER, as it answers while one of its
// own dialogs is open) is tried again after 1000 ms until it is accepted or the retry bound has
// passed (a program with a modal dialog open may stay busy for good), any other rejection
// cancels it. While an outgoing call waits, the window repaints but its input waits in the
// queue, so no other handler runs in between.
class TMessageFilter final : public ui::ComObject<IMessageFilter, IID_IMessageFilter> {
 public:
  static constexpr DWORD kRetryAfterMs = 1000;
  static constexpr DWORD kDefaultRetryBoundMs = 30000;
  // How long a busy program is waited for; past it the call fails as rejected.
  DWORD retryBoundMs = kDefaultRetryBoundMs;
  // Told, before each retry, how long the call has waited so far (a word for the status field).
  std::function<void(DWORD waitedMs)> onBusyWait;
  // A new filter with one reference, held by the caller.
  static TMessageFilter* Create();
  // Registers this filter for the thread and keeps the one it replaces. False when the thread
  // has no single-threaded COM apartment (no filter can be registered there).
  bool RegisterFilter();
  // Puts the filter that was registered before back.
  void RevokeFilter();
  // The filter's answer to a busy rejection after `waitedMs`: the delay before the next try
  // (onBusyWait told), or -1 once the bound has passed.
  DWORD RetryBusy(DWORD waitedMs) const;

  // IMessageFilter
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                             LPINTERFACEINFO info) override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

 private:
  TMessageFilter() = default;
  ~TMessageFilter() override;
  IMessageFilter* FOldFilter = nullptr;
};

// True when a running object is registered for the ProgID's class. A ProgID that the system
// does not know (an empty one included) raises an error with the platform's message.
bool IsTargetCadRunning(std::u16string_view progId);

// The text of an error box for a failed call: the system's text for the code, else (or for a
// call the program rejected) a Japanese sentence with the code; what is appended in brackets.
std::u16string ComErrorText(HRESULT hr, std::u16string_view what);

// Sends one command to the running CAD program: nothing when it does not run; otherwise its
// window is restored when minimised (then 500 ms pass), brought to the front, given one Escape
// key press when it did come to the front, and the command followed by one carriage return is
// handed to SendCommand of its active document. A busy program is waited for within the bound
// of `filter` (the thread's registered filter; without one a busy answer fails at once).
// Errors carry the platform's or the program's message; a program that stayed busy past the
// retry bound, or that no longer answers, is reported in Japanese with the ProgID.
void SendToTargetCad(std::u16string_view progId, std::u16string_view command, const TMessageFilter* filter = nullptr);

}  // namespace tesmar
