#include "cadlink/cad_link_win.h"

#include <oleauto.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/codepage.h"
#include "base/strings.h"
#include "ui/gdi.h"

namespace tesmar {
namespace {

// What a failed step was: the program's ProgID and the call or member.
struct Step {
  std::u16string_view progId;
  std::u16string_view what;
};

// The program's ProgID and the filter whose bound and notice apply to its busy answers.
struct Target {
  std::u16string_view progId;
  TMessageFilter* filter;
};

// Lets the window repaint while the thread waits; its input stays in the queue.
void WaitKeepingInput(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD waited = 0; waited < ms; waited = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - waited, QS_PAINT | QS_SENDMESSAGE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

// The system's own text for an error code, without the line break at its end; empty when the
// system has none.
std::u16string SystemText(HRESULT hr) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::u16string text;
  if (n && buf) text = FromWide(buf);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) text.pop_back();
  return text;
}

// The error's own message and the step; without a text of the system's, the message says in
// the user's words that the CAD program was not found or did not answer.
[[noreturn]] void ThrowComError(HRESULT hr, const Step& step) {
  wchar_t code[16];
  swprintf(code, 16, L"%08X", static_cast<unsigned>(hr));
  const std::u16string progId = u"ProgID \"" + std::u16string(step.progId) + u"\"";
  std::u16string text = SystemText(hr);
  if (text.empty())
    text = std::u16string(kCadNotAnsweringText) + u"\n" + progId + u"\n(" + std::u16string(step.what) + u", " +
           FromWide(code) + u")";
  else
    text += u" (" + progId + u", " + std::u16string(step.what) + u")";
  throw std::runtime_error(Utf16ToUtf8(text));
}

void Check(HRESULT hr, const Step& step) {
  if (FAILED(hr)) ThrowComError(hr, step);
}

struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  ~Variant() { VariantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

using Dispatch = ui::ComPtr<IDispatch>;

// Calls a member by name; an exception raised by the object carries its own description. A
// busy answer that comes back to the caller (where the system's runtime leaves the retrying to
// it) is retried as the filter retries: every 1000 ms, up to the filter's bound.
void Invoke(const Dispatch& object, const Target& target, const wchar_t* name, WORD flags, VARIANT* args,
            UINT argCount, VARIANT* result) {
  const std::u16string member = FromWide(name);
  const Step step{target.progId, member};
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  Check(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), step);
  DISPPARAMS params{args, nullptr, argCount, 0};
  EXCEPINFO info{};
  UINT argErr = 0;
  const DWORD start = GetTickCount();
  const DWORD bound = target.filter ? target.filter->RetryFor() : TMessageFilter::kRetryForMs;
  HRESULT hr;
  for (;;) {
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &argErr);
    const DWORD waited = GetTickCount() - start;
    if (hr != RPC_E_SERVERCALL_RETRYLATER || waited >= bound) break;
    if (target.filter) target.filter->NotifyRetry(waited);
    WaitKeepingInput(std::min<DWORD>(TMessageFilter::kRetryAfterMs, bound - waited));
  }
  if (hr == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    std::u16string text = info.bstrDescription ? FromWide(info.bstrDescription) : std::u16string();
    HRESULT code = info.scode ? info.scode : hr;
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    if (!text.empty()) throw std::runtime_error(Utf16ToUtf8(text));
    ThrowComError(code, step);
  }
  Check(hr, step);
}

// A property read as a 64-bit integer.
std::int64_t Int64Property(const Dispatch& object, const Target& target, const wchar_t* name) {
  Variant r;
  Invoke(object, target, name, DISPATCH_PROPERTYGET, nullptr, 0, &r.v);
  Check(VariantChangeType(&r.v, &r.v, 0, VT_I8), {target.progId, FromWide(name)});
  return r.v.llVal;
}

// A property read as an automation object.
Dispatch ObjectProperty(const Dispatch& object, const Target& target, const wchar_t* name) {
  Variant r;
  Invoke(object, target, name, DISPATCH_PROPERTYGET, nullptr, 0, &r.v);
  Check(VariantChangeType(&r.v, &r.v, 0, VT_DISPATCH), {target.progId, FromWide(name)});
  if (!r.v.pdispVal) ThrowComError(E_POINTER, {target.progId, FromWide(name)});
  r.v.pdispVal->AddRef();
  return Dispatch(r.v.pdispVal);
}

void CallWithString(const Dispatch& object, const Target& target, const wchar_t* name, std::u16string_view text) {
  Variant arg;
  arg.v.vt = VT_BSTR;
  arg.v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (!arg.v.bstrVal) ThrowComError(E_OUTOFMEMORY, {target.progId, FromWide(name)});
  Variant result;
  Invoke(object, target, name, DISPATCH_METHOD, &arg.v, 1, &result.v);
}

CLSID ClassOf(std::u16string_view progId) {
  CLSID clsid{};
  std::wstring id = ToWide(progId);
  Check(CLSIDFromProgID(id.c_str(), &clsid), {progId, u"CLSIDFromProgID"});
  return clsid;
}

HWND AsWindow(std::int64_t value) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(value)); }

}  // namespace

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

HRESULT STDMETHODCALLTYPE TMessageFilter::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IMessageFilter) {
    *out = static_cast<IMessageFilter*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TMessageFilter::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG STDMETHODCALLTYPE TMessageFilter::Release() {
  LONG n = InterlockedDecrement(&refs_);
  if (n == 0) delete this;
  return static_cast<ULONG>(n);
}

DWORD STDMETHODCALLTYPE TMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
  return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE TMessageFilter::RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) {
  // tickCount: the time since the call was first made.
  if (rejectType != SERVERCALL_RETRYLATER || tickCount >= retryForMs_) return static_cast<DWORD>(-1);
  NotifyRetry(tickCount);
  return kRetryAfterMs;
}

DWORD STDMETHODCALLTYPE TMessageFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }

// ---- The link

bool IsTargetCadRunning(std::u16string_view progId) {
  CLSID clsid = ClassOf(progId);
  ui::ComPtr<IUnknown> running;
  return SUCCEEDED(GetActiveObject(clsid, nullptr, running.Out())) && running;
}

void SendToTargetCad(std::u16string_view progId, std::u16string_view command, TMessageFilter* filter) {
  if (!IsTargetCadRunning(progId)) return;
  const Target target{progId, filter};
  ui::ComPtr<IUnknown> running;
  // The program may have quit since the look-up: that is reported like any failed call.
  Check(GetActiveObject(ClassOf(progId), nullptr, running.Out()), {progId, u"GetActiveObject"});
  if (!running) ThrowComError(E_POINTER, {progId, u"GetActiveObject"});
  Dispatch app;
  Check(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(app.Out())), {progId, u"IDispatch"});
  auto window = [&] { return Int64Property(app, target, L"HWND"); };

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
  Dispatch document = ObjectProperty(app, target, L"ActiveDocument");
  CallWithString(document, target, L"SendCommand", std::u16string(command) + u'\r');
}

}  // namespace tesmar
