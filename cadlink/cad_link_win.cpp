#include "cadlink/cad_link_win.h"

#include <oleauto.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/codepage.h"
#include "base/strings.h"
#include "cadlink/commands.h"
#include "ui/com.h"

namespace tesmar {
namespace {

[[noreturn]] void ThrowComError(HRESULT hr, std::u16string_view what) {
  throw std::runtime_error(Utf16ToUtf8(ComErrorText(hr, what)));
}

void Check(HRESULT hr, std::u16string_view what) {
  if (FAILED(hr)) ThrowComError(hr, what);
}

struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  ~Variant() { VariantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

using Dispatch = ui::ComPtr<IDispatch>;

bool IsBusy(HRESULT hr) { return hr == RPC_E_SERVERCALL_RETRYLATER || hr == RPC_E_CALL_REJECTED; }

// Makes one call, trying it again while the program answers busy and the wait allows. A busy
// answer that comes back to the caller (where the system's runtime leaves the retrying to it)
// is handled here; one that the runtime retries goes through the thread's filter, which asks
// the same wait. A wait that ended by Esc or a closing window ends the command.
template <class Call>
HRESULT CallWithin(CadCallWait& wait, Call call) {
  HRESULT hr;
  do {
    hr = call();
  } while (hr == RPC_E_SERVERCALL_RETRYLATER && wait.RetryBusy());
  if (wait.Ended() == CadCallWait::End::Escape || wait.Ended() == CadCallWait::End::Closing)
    throw CadWaitCancelled(wait.Ended());
  if (IsBusy(hr) && wait.Ended() == CadCallWait::End::Deadline) return RPC_E_SERVERCALL_RETRYLATER;
  return hr;
}

// Calls a member by name; an exception raised by the object carries its own description.
void Invoke(const Dispatch& object, CadCallWait& wait, const wchar_t* name, WORD flags, VARIANT* args, UINT argCount,
            VARIANT* result) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const std::u16string member = FromWide(name);
  Check(CallWithin(wait, [&] { return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); }), member);
  DISPPARAMS params{args, nullptr, argCount, 0};
  EXCEPINFO info{};
  UINT argErr = 0;
  const HRESULT hr = CallWithin(wait, [&] {
    if (result) VariantClear(result);
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &argErr);
  });
  if (hr == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    std::u16string text = info.bstrDescription ? FromWide(info.bstrDescription) : std::u16string();
    HRESULT code = info.scode ? info.scode : hr;
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    if (!text.empty()) throw std::runtime_error(Utf16ToUtf8(text));
    ThrowComError(code, member);
  }
  Check(hr, member);
}

// A property read as a 64-bit integer.
std::int64_t Int64Property(const Dispatch& object, CadCallWait& wait, const wchar_t* name) {
  Variant r;
  Invoke(object, wait, name, DISPATCH_PROPERTYGET, nullptr, 0, &r.v);
  Check(VariantChangeType(&r.v, &r.v, 0, VT_I8), FromWide(name));
  return r.v.llVal;
}

// A property read as an automation object.
Dispatch ObjectProperty(const Dispatch& object, CadCallWait& wait, const wchar_t* name) {
  Variant r;
  Invoke(object, wait, name, DISPATCH_PROPERTYGET, nullptr, 0, &r.v);
  Check(VariantChangeType(&r.v, &r.v, 0, VT_DISPATCH), FromWide(name));
  if (!r.v.pdispVal) ThrowComError(E_POINTER, FromWide(name));
  r.v.pdispVal->AddRef();
  return Dispatch(r.v.pdispVal);
}

// A method with one string argument; its result, when `result` is given.
void CallWithString(const Dispatch& object, CadCallWait& wait, const wchar_t* name, std::u16string_view text,
                    VARIANT* result = nullptr) {
  Variant arg;
  arg.v.vt = VT_BSTR;
  arg.v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (!arg.v.bstrVal) ThrowComError(E_OUTOFMEMORY, FromWide(name));
  Variant ignored;
  Invoke(object, wait, name, DISPATCH_METHOD, &arg.v, 1, result ? result : &ignored.v);
}

// The document's ATTREQ; nothing when the program cannot tell (no GetVariable, or it failed).
std::optional<int> ReadAttreq(const Dispatch& document, CadCallWait& wait) {
  Variant r;
  try {
    CallWithString(document, wait, L"GetVariable", u"ATTREQ", &r.v);
  } catch (const CadWaitCancelled&) {
    throw;
  } catch (const std::runtime_error&) {
    if (wait.Ended() == CadCallWait::End::Deadline) throw;
    return std::nullopt;
  }
  if (FAILED(VariantChangeType(&r.v, &r.v, 0, VT_I4))) return std::nullopt;
  return static_cast<int>(r.v.lVal);
}

CLSID ClassOf(std::u16string_view progId) {
  CLSID clsid{};
  std::wstring id = ToWide(progId);
  Check(CLSIDFromProgID(id.c_str(), &clsid), u"ProgID \"" + std::u16string(progId) + u"\"");
  return clsid;
}

HWND AsWindow(std::int64_t value) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(value)); }

}  // namespace

// The error's own message: the text the system has for the code, else a sentence that says the
// CAD program was not found or did not answer. A rejected call (busy past the bound, or refused)
// always gets that sentence: the system's text for it names no cause a user can act on.
std::u16string ComErrorText(HRESULT hr, std::u16string_view what) {
  const bool rejected = IsBusy(hr);
  std::u16string text;
  if (!rejected) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    if (n && buf) text = FromWide(buf);
    if (buf) LocalFree(buf);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) text.pop_back();
  }
  if (text.empty()) {
    wchar_t code[64];
    swprintf(code, 64, L" (OLE error %08X)", static_cast<unsigned>(hr));
    text = (rejected ? std::u16string(u"CAD プログラムが応答しません。ダイアログなどが開いていないか確かめてください。")
                : std::u16string(u"CAD プログラムが見つからないか、応答しません。")) +
           FromWide(code);
  }
  if (!what.empty()) text += u" (" + std::u16string(what) + u")";
  return text;
}

// ---- CadCallWait

CadCallWait::CadCallWait(HWND window, DWORD boundMs) : window_(window), boundMs_(boundMs), start_(GetTickCount()) {}

CadCallWait::~CadCallWait() {
  for (const MSG& m : keys_)
    if (IsWindow(m.hwnd)) PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
}

DWORD CadCallWait::Waited() const { return GetTickCount() - start_; }

// Esc is taken out of the queue as the request to give up; other key presses are held back
// (put back at the end). A close of the window, or the program's end, stays in the queue for
// the message loop and ends the wait.
void CadCallWait::LookAtQueue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
  if (!window_) return;
  if (!IsWindow(window_)) {
    ended_ = End::Closing;
    return;
  }
  while (PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
    if (msg.wParam == VK_ESCAPE) {
      ended_ = End::Escape;
      return;
    }
    keys_.push_back(msg);
  }
  const bool closing = PeekMessageW(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) ||
                       PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) ||
                       (PeekMessageW(&msg, nullptr, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_NOREMOVE) &&
                        (msg.wParam & 0xFFF0) == SC_CLOSE) ||
                       (PeekMessageW(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) && msg.wParam == VK_F4);
  if (closing) ended_ = End::Closing;
}

bool CadCallWait::Pause(DWORD ms) {
  const DWORD until = std::min(Waited() + ms, boundMs_);
  LookAtQueue();
  for (DWORD waited = Waited(); ended_ == End::None && waited < until; waited = Waited()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, until - waited, QS_PAINT | QS_SENDMESSAGE | QS_KEY | QS_POSTMESSAGE);
    LookAtQueue();
  }
  return ended_ == End::None;
}

bool CadCallWait::RetryBusy() {
  if (ended_ != End::None) return false;
  const DWORD waited = Waited();
  if (waited >= boundMs_) {
    ended_ = End::Deadline;
    return false;
  }
  if (onWait) onWait(waited);
  // A pause that reaches the deadline is followed by one last try at it.
  return Pause(kRetryAfterMs);
}

// ---- TMessageFilter

ui::ComPtr<TMessageFilter> TMessageFilter::Create() { return ui::ComPtr<TMessageFilter>(new TMessageFilter()); }

TMessageFilter::~TMessageFilter() {
  if (FOldFilter) FOldFilter->Release();
}

bool TMessageFilter::RegisterFilter() {
  IMessageFilter* old = nullptr;
  if (FAILED(CoRegisterMessageFilter(this, &old))) return false;
  if (FOldFilter) FOldFilter->Release();
  FOldFilter = old;
  return true;
}

void TMessageFilter::RevokeFilter() {
  IMessageFilter* replaced = nullptr;
  IMessageFilter* old = FOldFilter;
  FOldFilter = nullptr;
  CoRegisterMessageFilter(old, &replaced);  // a thread whose apartment is gone has nothing to undo
  if (old) old->Release();
  if (replaced) replaced->Release();  // this object's registration
}

DWORD STDMETHODCALLTYPE TMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
  return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE TMessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD rejectType) {
  if (rejectType != SERVERCALL_RETRYLATER || !current_) return static_cast<DWORD>(-1);
  // The pause happens here (the window repainting, Esc and a close looked for), so the call is
  // tried again at once; the window may be closed meanwhile, which revokes this filter.
  AddRef();
  const bool again = current_->RetryBusy();
  Release();
  return again ? 0 : static_cast<DWORD>(-1);
}

// Waiting, the window repaints; its input is held back.
DWORD STDMETHODCALLTYPE TMessageFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }

// ---- The link

bool IsTargetCadRunning(std::u16string_view progId) {
  CLSID clsid = ClassOf(progId);
  ui::ComPtr<IUnknown> running;
  return SUCCEEDED(GetActiveObject(clsid, nullptr, running.Out())) && running;
}

namespace {

void SendToRunning(std::u16string_view progId, std::u16string_view command, CadCallWait& wait, bool restoreAttreq) {
  ui::ComPtr<IUnknown> running;
  // The program may have quit since the look-up: that is reported like any failed call.
  Check(GetActiveObject(ClassOf(progId), nullptr, running.Out()), u"GetActiveObject");
  if (!running) ThrowComError(E_POINTER, u"GetActiveObject");
  Dispatch app;
  Check(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(app.Out())), u"IDispatch");

  const std::int64_t handle = Int64Property(app, wait, L"HWND");
  const HWND window = AsWindow(handle);
  if (IsIconic(window)) {
    OpenIcon(window);
    Sleep(500);
  }
  SetForegroundWindow(window);
  if (reinterpret_cast<std::int64_t>(GetForegroundWindow()) == handle) {
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    Sleep(5);
  }
  const Dispatch document = ObjectProperty(app, wait, L"ActiveDocument");
  std::u16string text(command);
  if (restoreAttreq) text += AttreqRestoreText(ReadAttreq(document, wait));
  CallWithString(document, wait, L"SendCommand", text + u'\r');
}

}  // namespace

CadSend SendToTargetCad(std::u16string_view progId, std::u16string_view command, CadCallWait& wait,
                        bool restoreAttreq) {
  if (!IsTargetCadRunning(progId)) return CadSend::NotRunning;
  try {
    SendToRunning(progId, command, wait, restoreAttreq);
  } catch (const CadWaitCancelled&) {
    throw;
  } catch (const std::runtime_error& e) {
    // Every failure past the look-up names the program it was meant for.
    throw std::runtime_error(std::string(e.what()) + " (ProgID \"" + Utf16ToUtf8(progId) + "\")");
  }
  return CadSend::Sent;
}

}  // namespace tesmar
