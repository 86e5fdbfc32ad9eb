#include "cadlink/cad_link_win.h"

#include <oleauto.h>

#include <stdexcept>
#include <string>

#include "base/codepage.h"
#include "base/strings.h"

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

class Dispatch {
 public:
  explicit Dispatch(IDispatch* p) : p_(p) {}
  ~Dispatch() {
    if (p_) p_->Release();
  }
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;

  // Calls a member by name; an exception raised by the object carries its own description.
  void Invoke(const wchar_t* name, WORD flags, VARIANT* args, UINT argCount, VARIANT* result) const {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    std::u16string member = FromWide(name);
    Check(p_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), member);
    DISPPARAMS params{args, nullptr, argCount, 0};
    EXCEPINFO info{};
    UINT argErr = 0;
    HRESULT hr = p_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &argErr);
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
  std::int64_t Int64Property(const wchar_t* name) const {
    Variant r;
    Invoke(name, DISPATCH_PROPERTYGET, nullptr, 0, &r.v);
    Check(VariantChangeType(&r.v, &r.v, 0, VT_I8), FromWide(name));
    return r.v.llVal;
  }

  // A property read as an automation object.
  IDispatch* ObjectProperty(const wchar_t* name) const {
    Variant r;
    Invoke(name, DISPATCH_PROPERTYGET, nullptr, 0, &r.v);
    Check(VariantChangeType(&r.v, &r.v, 0, VT_DISPATCH), FromWide(name));
    if (!r.v.pdispVal) ThrowComError(E_POINTER, FromWide(name));
    IDispatch* p = r.v.pdispVal;
    p->AddRef();
    return p;
  }

  void CallWithString(const wchar_t* name, std::u16string_view text) const {
    Variant arg;
    arg.v.vt = VT_BSTR;
    arg.v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    if (!arg.v.bstrVal) ThrowComError(E_OUTOFMEMORY, FromWide(name));
    Variant result;
    Invoke(name, DISPATCH_METHOD, &arg.v, 1, &result.v);
  }

 private:
  IDispatch* p_;
};

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
  if (rejectType != SERVERCALL_RETRYLATER || tickCount >= retryBoundMs) return static_cast<DWORD>(-1);
  if (onBusyWait) onBusyWait(tickCount);
  return kRetryAfterMs;
}

DWORD STDMETHODCALLTYPE TMessageFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITNOPROCESS; }

// ---- The link

bool IsTargetCadRunning(std::u16string_view progId) {
  CLSID clsid = ClassOf(progId);
  IUnknown* running = nullptr;
  if (FAILED(GetActiveObject(clsid, nullptr, &running)) || !running) return false;
  running->Release();
  return true;
}


namespace {

void SendToRunning(std::u16string_view progId, std::u16string_view command) {
  IUnknown* running = nullptr;
  // The program may have quit since the look-up: that is reported like any failed call.
  HRESULT hr = GetActiveObject(ClassOf(progId), nullptr, &running);
  Check(hr, u"GetActiveObject");
  if (!running) ThrowComError(E_POINTER, u"GetActiveObject");
  IDispatch* dispatch = nullptr;
  hr = running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  running->Release();
  Check(hr, u"IDispatch");
  Dispatch app(dispatch);

  if (IsIconic(AsWindow(app.Int64Property(L"HWND")))) {
    OpenIcon(AsWindow(app.Int64Property(L"HWND")));
    Sleep(500);
  }
  SetForegroundWindow(AsWindow(app.Int64Property(L"HWND")));
  if (reinterpret_cast<std::int64_t>(GetForegroundWindow()) == app.Int64Property(L"HWND")) {
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    Sleep(5);
  }
  Dispatch document(app.ObjectProperty(L"ActiveDocument"));
  document.CallWithString(L"SendCommand", std::u16string(command) + u'\r');
}

}  // namespace

void SendToTargetCad(std::u16string_view progId, std::u16string_view command) {
  if (!IsTargetCadRunning(progId)) return;
  try {
    SendToRunning(progId, command);
  } catch (const std::runtime_error& e) {
    // Every failure past the look-up names the program it was meant for.
    throw std::runtime_error(std::string(e.what()) + " (ProgID \"" + Utf16ToUtf8(progId) + "\")");
  }
}

}  // namespace tesmar
