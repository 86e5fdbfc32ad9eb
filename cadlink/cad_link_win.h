#pragma once
// The connection to the running CAD program: the thread's COM message filter, the look-up of
// the running program by its ProgID, and the sending of one command text through the program's
// automation interface (late-bound HWND, ActiveDocument, SendCommand).
#include <windows.h>
#include <objidl.h>

#include <string>
#include <string_view>

namespace tesmar {

// The thread's message filter while the main window lives: incoming calls are always handled;
// a call the CAD program rejects as busy (SERVERCALL_RETRYLATER) is tried again after 1000 ms
// until it is accepted, any other rejection cancels it; window messages that arrive while an
// outgoing call waits are not dispatched.
class TMessageFilter : public IMessageFilter {
 public:
  static constexpr DWORD kRetryAfterMs = 1000;
  // A new filter with one reference, held by the caller.
  static TMessageFilter* Create();
  // Registers this filter for the thread and keeps the one it replaces. False when the thread
  // has no single-threaded COM apartment (no filter can be registered there).
  bool RegisterFilter();
  // Puts the filter that was registered before back.
  void RevokeFilter();

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
};

// True when a running object is registered for the ProgID's class. A ProgID that the system
// does not know (an empty one included) raises an error with the platform's message.
bool IsTargetCadRunning(std::u16string_view progId);

// Sends one command to the running CAD program: nothing when it does not run; otherwise its
// window is restored when minimised (then 500 ms pass), brought to the front, given one Escape
// key press when it did come to the front, and the command followed by one carriage return is
// handed to SendCommand of its active document. Errors carry the platform's or the program's
// message.
void SendToTargetCad(std::u16string_view progId, std::u16string_view command);

}  // namespace tesmar
