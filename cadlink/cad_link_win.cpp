#include "cadlink/cad_link_win.h"

#include <oleauto.h>

#include <stdexcept>
#include <string>

#include "base/codepage.h"
#include "base/strings.h"
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

// Lets the window repaint while the thread waits; its input stays in the queue.
void WaitKeepingInput(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD waited = 0; waited < ms; waited = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - waited, QS_PAINT | QS_SENDMESSAGE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

// Calls a member by name; an exception raised by the object carries its own description. A
// busy answer that comes back to the caller (where the system's runtime leaves the retrying to
// it) is retried as the filter retries a busy rejection, within the same bound.
void Invoke(const Dispatch& object, const TMessageFilter* filter, const wchar_t* name, WORD flags, VARIANT* args,
            UINT argCount, VARIANT* result) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const std::u16string member = FromWide(name);
  Check(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), member);
  DISPPARAMS params{args, nullptr, argCount, 0};
  EXCEPINFO info{};
  UINT argErr = 0;
  const DWORD start = GetTickCount();
  HRESULT hr;
  for (;;) {
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &argErr);
    if (hr != RPC_E_SERVERCALL_RETRYLATER) break;
    const DWORD waited = GetTickCount() - start;
    // Without a filter the call is cancelled, as the system's default filter does.
    const DWORD delay = filter ? filter->RetryBusy(waited) : static_cast<DWORD>(-1);
    if (delay == static_cast<DWORD>(-1)) break;
    WaitKeepingInput(delay);
  }
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
std::int64_t Int64Property(const Dispatch& object, const TMessageFilter* filter, const wchar_t* name) {
  Variant r;
  Invoke(object, filter, name, DISPATCH_PROPERTYGET, nullptr, 0, &r.v);
  Check(VariantChangeType(&r.v, &r.v, 0, VT_I8), FromWide(name));
  return r.v.llVal;
}

// A property read as an automation object.
Dispatch ObjectProperty(const Dispatch& object, const TMessageFilter* filter, const wchar_t* name) {
  Variant r;
  Invoke(object, filter, name, DISPATCH_PROPERTYGET, nullptr, 0, &r.v);
  Check(VariantChangeType(&r.v, &r.v, 0, VT_DISPATCH), FromWide(name));
  if (!r.v.pdispVal) ThrowComError(E_POINTER, FromWide(name));
  r.v.pdispVal->AddRef();
  return Dispatch(r.v.pdispVal);
}

void CallWithString(const Dispatch& object, const TMessageFilter* filter, const wchar_t* name,
                    std::u16string_view text) {
  Variant arg;
  arg.v.vt = VT_BSTR;
  arg.v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (!arg.v.bstrVal) ThrowComError(E_OUTOFMEMORY, FromWide(name));
  Variant result;
  Invoke(object, filter, name, DISPATCH_METHOD, &arg.v, 1, &result.v);
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
  const bool rejected = hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER;
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

// ---- TMessageFilter

TMessageFilter* TMessageFilter::Create() { return new TMessageFilter(); }

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

DWORD TMessageFilter::RetryBusy(DWORD waitedMs) const {
  if (waitedMs >= retryBoundMs) return static_cast<DWORD>(-1);
  if (onBusyWait) onBusyWait(waitedMs);
  return kRetryAfterMs;
}

DWORD STDMETHODCALLTYPE TMessageFilter::RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) {
  // tickCount: the time since the call was first made.
  if (rejectType != SERVERCALL_RETRYLATER) return static_cast<DWORD>(-1);
  return RetryBusy(tickCount);
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

void SendToRunning(std::u16string_view progId, std::u16string_view command, const TMessageFilter* filter) {
  ui::ComPtr<IUnknown> running;
  // The program may have quit since the look-up: that is reported like any failed call.
  Check(GetActiveObject(ClassOf(progId), nullptr, running.Out()), u"GetActiveObject");
  if (!running) ThrowComError(E_POINTER, u"GetActiveObject");
  Dispatch app;
  Check(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(app.Out())), u"IDispatch");
  auto window = [&] { return Int64Property(app, filter, L"HWND"); };

  if (IsIconic(AsWindow(window()))) {
    OpenIcon(AsWindow(window()));
    Sleep(500);
  }
  SetForegroundWindow(AsWindow(window()));
  if (reinterpret_cast<std::int64_t>(GetForegroundWindow()) == window()) {
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    Sleep(5);
  }
  const Dispatch document = ObjectProperty(app, filter, L"ActiveDocument");
  CallWithString(document, filter, L"SendCommand", std::u16string(command) + u'\r');
}

}  // namespace

void SendToTargetCad(std::u16string_view progId, std::u16string_view command, const TMessageFilter* filter) {
  if (!IsTargetCadRunning(progId)) return;
  try {
    SendToRunning(progId, command, filter);
  } catch (const std::runtime_error& e) {
    // Every failure past the look-up names the program it was meant for.
    throw std::runtime_error(std::string(e.what()) + " (ProgID \"" + Utf16ToUtf8(progId) + "\")");
  }
}

}  // namespace tesmar
