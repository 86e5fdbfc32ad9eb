#pragma once
// The connection to the running CAD program: the thread's COM message filter, the look-up of
// the running program by its ProgID, and the sending of one command text through the program's
// automation interface (late-bound HWND, ActiveDocument, SendCommand).
#include <windows.h>
#include <objidl.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/com.h"

namespace tesmar {

// One command's wait for a CAD program that answers "busy" (as it does while one of its own
// dialogs is open). Every call the command makes shares one deadline, counted from the
// command's start. Between tries the window repaints but its input waits in the queue, so no
// other handler runs in between; only Esc (taken out of the queue) and a request to close the
// window (left in the queue, to be handled once the command has given up) end the wait early.
class CadCallWait {
 public:
  static constexpr DWORD kRetryAfterMs = 1000;
  static constexpr DWORD kDefaultBoundMs = 30000;
  enum class End { None, Deadline, Escape, Closing };

  // `window`: the window whose Esc and close end the wait (none: only the deadline does).
  explicit CadCallWait(HWND window, DWORD boundMs = kDefaultBoundMs);
  // Key presses other than Esc that the wait took out of the queue go back into it.
  ~CadCallWait();
  CadCallWait(const CadCallWait&) = delete;
  CadCallWait& operator=(const CadCallWait&) = delete;

  // Told before each pause how long the command has waited so far (a word for the status field).
  std::function<void(DWORD waitedMs)> onWait;

  // The answer to a busy rejection: pauses until the next try (at most kRetryAfterMs, never past
  // the deadline) and returns true to try again; false once the deadline has passed, Esc was
  // pressed or the window is closing (Ended says which).
  bool RetryBusy();
  // Pauses `ms` (the same way, within the deadline); false when the wait has ended meanwhile.
  bool Pause(DWORD ms);
  End Ended() const { return ended_; }
  DWORD BoundMs() const { return boundMs_; }
  DWORD Waited() const;

 private:
  void LookAtQueue();
  HWND window_;
  DWORD boundMs_;
  DWORD start_;
  End ended_ = End::None;
  std::vector<MSG> keys_;  // key presses held back while waiting
};

// The user gave up the wait (Esc), or the window is closing: the command was not sent.
class CadWaitCancelled : public std::runtime_error {
 public:
  explicit CadWaitCancelled(CadCallWait::End end) : std::runtime_error("cancelled"), end_(end) {}
  CadCallWait::End End() const { return end_; }

 private:
  CadCallWait::End end_;
};

// The thread's message filter while the main window lives: incoming calls are always handled;
// a call the CAD program rejects as busy (SERVERCALL_RETRYLATER) is tried again as the wait of
// the command under way decides (Current); without one, and for any other rejection, it is
// cancelled.
class TMessageFilter final : public ui::ComObject<IMessageFilter, IID_IMessageFilter> {
 public:
  // A new filter with one reference, held by the caller.
  static ui::ComPtr<TMessageFilter> Create();
  // Registers this filter for the thread and keeps the one it replaces. False when the thread
  // has no single-threaded COM apartment (no filter can be registered there).
  bool RegisterFilter();
  // Puts the filter that was registered before back.
  void RevokeFilter();
  // The wait of the command under way (nothing between commands).
  CadCallWait* Current() const { return current_; }
  void SetCurrent(CadCallWait* wait) { current_ = wait; }

  // IMessageFilter
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                             LPINTERFACEINFO info) override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

 private:
  TMessageFilter() = default;
  ~TMessageFilter() override;
  IMessageFilter* FOldFilter = nullptr;
  CadCallWait* current_ = nullptr;
};

// True when a running object is registered for the ProgID's class. A ProgID that the system
// does not know (an empty one included) raises an error with the platform's message.
bool IsTargetCadRunning(std::u16string_view progId);

// The text of an error box for a failed call: the system's text for the code, else (or for a
// call the program rejected) a Japanese sentence with the code; what is appended in brackets.
std::u16string ComErrorText(HRESULT hr, std::u16string_view what);

enum class CadSend { Sent, NotRunning };

// Sends one command to the running CAD program: NotRunning when it does not run; otherwise its
// window is restored when minimised (then 500 ms pass), brought to the front, given one Escape
// key press when it did come to the front, and the command followed by one carriage return is
// handed to SendCommand of its active document. The window handle is read once.
//
// `restoreAttreq`: the command is an insert that sets ATTREQ to 0; the document's ATTREQ is read
// first and set back to it at the end of the same command line (to 1 when it cannot be read).
//
// A busy program is waited for through `wait` (all calls within its one deadline; its filter
// registration is the caller's, see TMessageFilter::SetCurrent). Errors carry the platform's
// or the program's message; a program that stayed busy past the deadline, or that no longer
// answers, is reported in Japanese with the ProgID; Esc or a closing window throws
// CadWaitCancelled.
CadSend SendToTargetCad(std::u16string_view progId, std::u16string_view command, CadCallWait& wait,
                        bool restoreAttreq = false);

}  // namespace tesmar
