// CadStandIn.exe: a stand-in for the CAD program that the palette drives through COM.
//
// It registers an application object (late-bound: HWND, ActiveDocument) in the running object
// table under a class id, and the document object's SendCommand lists each text it receives in
// the window, carriage returns shown as "<CR>". Escape key presses that reach the window are listed
// too, and so is every file dropped on the window by drag and drop ("drop <path>"). Switches:
//   /clsid:{...}     the class id to register under (default: the one the test prefix maps
//                    "BricscadApp.AcadApplication" to)
//   /log:FILE        also append every event to FILE (UTF-8, one record per event, each ended
//                    by a NUL): "ready <hwnd>", "escape", "call <member>" (each call taken),
//                    "command <text>", "getvariable <name>", "rejected <kind>", "drop <path>"
//   /busy:MS         reject automation calls with SERVERCALL_RETRYLATER for MS milliseconds,
//                    counted from the first one that arrives
//   /busy-each:MS    the same for each member on its own: a member is rejected for MS
//                    milliseconds counted from the first call of that member
//   /modal           open a modal dialog of its own once ready and keep it open: while it is
//                    open, every automation call is rejected with SERVERCALL_RETRYLATER, as a
//                    CAD program answers while the user works in one of its dialogs
//   /refuse          reject every automation call with SERVERCALL_REJECTED
//   /minimized       start minimised
//   /nofront         HWND names a window whose thread never answers, so it cannot be made the
//                    foreground window
//   /quit-on:NAME    end the process at once when the member NAME is called
//   /attreq:N        the value the document's GetVariable gives for ATTREQ (default 1)
//
// While busy, every call of the automation objects is rejected, the look-up of a member's name
// (GetIDsOfNames) included, as a program's message filter turns away every call of the
// interface.
#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>
#include <oleauto.h>

#include <algorithm>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "ui/com.h"

namespace {

// {6A3F1C52-7B7E-4C1E-9D2B-5C0A3E7F9B41}
const CLSID kDefaultClass = {0x6a3f1c52, 0x7b7e, 0x4c1e, {0x9d, 0x2b, 0x5c, 0x0a, 0x3e, 0x7f, 0x9b, 0x41}};

struct Options {
  CLSID clsid = kDefaultClass;
  std::wstring log;
  DWORD busyMs = 0;
  DWORD busyEachMs = 0;
  bool refuse = false;
  bool modal = false;
  bool minimized = false;
  bool noFront = false;
  std::wstring quitOn;
  int attreq = 1;
};
Options g_options;
HWND g_main = nullptr, g_list = nullptr, g_hung = nullptr;
bool g_inModalDialog = false;
constexpr UINT kOpenModalDialog = WM_APP + 1;

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// Shows the event in the window and appends it to the log.
void Record(const std::wstring& kind, const std::wstring& text, bool hasText) {
  std::wstring shown = kind;
  if (hasText) {
    shown += L": ";
    for (wchar_t c : text) shown += c == L'\r' ? std::wstring(L"<CR>") : std::wstring(1, c);
  }
  if (g_list) {
    LRESULT at = SendMessageW(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    SendMessageW(g_list, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);
  }
  if (g_options.log.empty()) return;
  std::string rec = Utf8(kind);
  if (hasText) rec += " " + Utf8(text);
  rec += '\0';
  if (FILE* f = _wfopen(g_options.log.c_str(), L"ab")) {
    fwrite(rec.data(), 1, rec.size(), f);
    fclose(f);
  }
}

// Busy: a dialog of the program is open, or the time given by /busy has not passed since the
// first automation call.
// With /busy-each, the member's own first call counts.
bool Busy(const wchar_t* member) {
  static DWORD firstCall = 0;
  static std::map<std::wstring, DWORD> firstCallOf;
  if (g_inModalDialog) return true;
  const DWORD now = GetTickCount();
  auto since = [now](DWORD& first) {
    if (!first) first = now ? now : 1;
    return now - first;
  };
  if (g_options.busyEachMs) return since(firstCallOf[member]) < g_options.busyEachMs;
  if (!g_options.busyMs) return false;
  return since(firstCall) < g_options.busyMs;
}

// ---- The drop target: files dragged onto the window from another program (CF_HDROP), taken
// as a copy; each path is listed.
class DropTarget final : public tesmar::ui::UncountedComObject<IDropTarget, IID_IDropTarget> {
 public:
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    files_ = data && data->QueryGetData(&f) == S_OK;
    *effect = Effect(*effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = Effect(*effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    *effect = Effect(*effect);
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    if (!files_ || !data || FAILED(data->GetData(&f, &m))) {
      *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    HDROP drop = static_cast<HDROP>(GlobalLock(m.hGlobal));
    const UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
      std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
      DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
      Record(L"drop", path, true);
    }
    GlobalUnlock(m.hGlobal);
    ReleaseStgMedium(&m);
    return S_OK;
  }

 private:
  DWORD Effect(DWORD allowed) const { return files_ && (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE; }
  bool files_ = false;
};

// ---- The message filter: busy or refusing servers reject calls here. A system that does not
// act on the filter's busy answer (Wine runs the call all the same) gets it from the member
// call itself (see Object::Invoke), as the caller's runtime would hand it back.
class Filter final : public tesmar::ui::UncountedComObject<IMessageFilter, IID_IMessageFilter> {
 public:
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) override {
    // Only calls of the automation interface are turned away, so the program can still be found.
    if (!info || info->iid != IID_IDispatch) return SERVERCALL_ISHANDLED;
    if (g_options.refuse) {
      Record(L"rejected", L"refused", true);
      return SERVERCALL_REJECTED;
    }
    const bool busy = g_inModalDialog || (!g_options.busyEachMs && Busy(L""));
    return busy ? SERVERCALL_RETRYLATER : SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

// ---- Automation objects with a fixed table of members.
class Object : public tesmar::ui::ComObject<IDispatch, IID_IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count > 0 && Busy(names[0])) {
      Record(L"rejected", L"busy", true);
      return RPC_E_SERVERCALL_RETRYLATER;
    }
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      if (i == 0)
        for (std::size_t m = 0; m < Members().size(); ++m)
          if (_wcsicmp(names[0], Members()[m]) == 0) ids[0] = static_cast<DISPID>(m + 1);
      if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (id < 1 || id > static_cast<DISPID>(Members().size())) return DISP_E_MEMBERNOTFOUND;
    const wchar_t* name = Members()[id - 1];
    if (Busy(name)) {
      Record(L"rejected", L"busy", true);
      return RPC_E_SERVERCALL_RETRYLATER;
    }
    Record(L"call", name, true);
    if (!g_options.quitOn.empty() && _wcsicmp(g_options.quitOn.c_str(), name) == 0) ExitProcess(3);
    return Call(id, flags, params, result);
  }

 protected:
  virtual const std::vector<const wchar_t*>& Members() const = 0;
  virtual HRESULT Call(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) = 0;
};

class Document : public Object {
 protected:
  const std::vector<const wchar_t*>& Members() const override {
    static const std::vector<const wchar_t*> m = {L"SendCommand", L"Name", L"GetVariable"};
    return m;
  }
  HRESULT Call(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) override {
    if (id == 3) {  // GetVariable("ATTREQ"); other names are not known here
      if (!result || !params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
      VARIANT name;
      VariantInit(&name);
      if (FAILED(VariantChangeType(&name, &params->rgvarg[0], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
      const bool attreq = _wcsicmp(name.bstrVal, L"ATTREQ") == 0;
      Record(L"getvariable", std::wstring(name.bstrVal, SysStringLen(name.bstrVal)), true);
      VariantClear(&name);
      if (!attreq) return E_INVALIDARG;
      VariantInit(result);
      result->vt = VT_I2;
      result->iVal = static_cast<SHORT>(g_options.attreq);
      return S_OK;
    }
    if (id == 2) {
      if (!result) return E_INVALIDARG;
      VariantInit(result);
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(L"Drawing1.dwg");
      return S_OK;
    }
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, &params->rgvarg[0], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
    Record(L"command", std::wstring(text.bstrVal, SysStringLen(text.bstrVal)), true);
    VariantClear(&text);
    if (result) VariantInit(result);
    return S_OK;
  }
};

class Application : public Object {
 protected:
  const std::vector<const wchar_t*>& Members() const override {
    static const std::vector<const wchar_t*> m = {L"HWND", L"ActiveDocument", L"Name"};
    return m;
  }
  HRESULT Call(DISPID id, WORD flags, DISPPARAMS*, VARIANT* result) override {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    if (id == 1) {
      result->vt = VT_I8;
      result->llVal = reinterpret_cast<LONG_PTR>(g_options.noFront ? g_hung : g_main);
    } else if (id == 2) {
      result->vt = VT_DISPATCH;
      result->pdispVal = new Document();
    } else {
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(L"CAD stand-in");
    }
    return S_OK;
  }
};

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (g_list) MoveWindow(g_list, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (g_list) SetFocus(g_list);
      return 0;
    case kOpenModalDialog:
      g_inModalDialog = true;
      MessageBoxW(hwnd, L"A dialog of the CAD program is open.", L"CAD stand-in", MB_OK);
      g_inModalDialog = false;
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// A window whose thread stops answering once it exists: it can never become the foreground
// window.
DWORD WINAPI HungWindowThread(void* ready) {
  g_hung = CreateWindowExW(0, L"CadStandIn", L"CAD stand-in (not answering)", WS_OVERLAPPED | WS_CAPTION, 40, 500,
                           300, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetEvent(static_cast<HANDLE>(ready));
  Sleep(INFINITE);
  return 0;
}

bool ParseClsid(const std::wstring& text, CLSID& out) {
  std::wstring copy = text;
  return SUCCEEDED(CLSIDFromString(copy.data(), &out));
}

void ParseOptions() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i < argc; ++i) {
    std::wstring a = argv[i];
    auto value = [&](const wchar_t* name) -> const wchar_t* {
      std::size_t n = wcslen(name);
      return _wcsnicmp(a.c_str(), name, n) == 0 ? a.c_str() + n : nullptr;
    };
    if (auto v = value(L"/clsid:")) ParseClsid(v, g_options.clsid);
    else if (auto v = value(L"/log:")) g_options.log = v;
    else if (auto v = value(L"/busy:")) g_options.busyMs = static_cast<DWORD>(_wtoi(v));
    else if (auto v = value(L"/busy-each:")) g_options.busyEachMs = static_cast<DWORD>(_wtoi(v));
    else if (auto v = value(L"/quit-on:")) g_options.quitOn = v;
    else if (auto v = value(L"/attreq:")) g_options.attreq = _wtoi(v);
    else if (_wcsicmp(a.c_str(), L"/refuse") == 0) g_options.refuse = true;
    else if (_wcsicmp(a.c_str(), L"/modal") == 0) g_options.modal = true;
    else if (_wcsicmp(a.c_str(), L"/minimized") == 0) g_options.minimized = true;
    else if (_wcsicmp(a.c_str(), L"/nofront") == 0) g_options.noFront = true;
  }
  LocalFree(argv);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ParseOptions();
  // OLE (a COM apartment with drag and drop).
  if (FAILED(OleInitialize(nullptr))) return 1;
  Filter filter;
  CoRegisterMessageFilter(&filter, nullptr);

  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"CadStandIn";
  RegisterClassExW(&wc);
  // The right half of a wide display, else as much of the work area as it takes: its list is
  // never off the screen.
  RECT work{0, 0, 1920, 1080};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = std::min(940, int(work.right - work.left));
  const int height = std::min(360, int(work.bottom - work.top));
  const int x = std::max(int(work.left), std::min(int(work.left) + 960, int(work.right) - width));
  const int y = std::max(int(work.top), std::min(int(work.top) + 80, int(work.bottom) - height));
  g_main = CreateWindowExW(0, L"CadStandIn", L"CAD stand-in: received commands", WS_OVERLAPPEDWINDOW, x, y, width,
                           height, nullptr, nullptr, instance, nullptr);
  if (!g_main) return 1;
  g_list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 10, 10, g_main,
                           nullptr, instance, nullptr);
  NONCLIENTMETRICSW ncm{sizeof ncm};
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  ncm.lfMessageFont.lfHeight = -15;
  ncm.lfMessageFont.lfCharSet = DEFAULT_CHARSET;
  HFONT font = CreateFontIndirectW(&ncm.lfMessageFont);
  SendMessageW(g_list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SendMessageW(g_list, LB_SETHORIZONTALEXTENT, 4000, 0);
  RECT rc;
  GetClientRect(g_main, &rc);
  MoveWindow(g_list, 0, 0, rc.right, rc.bottom, TRUE);

  if (g_options.noFront) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, HungWindowThread, ready, 0, nullptr));
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
  }
  DropTarget dropTarget;
  RegisterDragDrop(g_main, &dropTarget);
  ShowWindow(g_main, g_options.minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  UpdateWindow(g_main);

  Application* app = new Application();
  DWORD cookie = 0;
  HRESULT hr = RegisterActiveObject(app, g_options.clsid, ACTIVEOBJECT_STRONG, &cookie);
  app->Release();
  if (FAILED(hr)) return 2;
  wchar_t ready[64];
  swprintf(ready, 64, L"%lld", static_cast<long long>(reinterpret_cast<LONG_PTR>(g_main)));
  if (g_options.modal) {
    g_inModalDialog = true;  // from now on, not only once the dialog's loop runs
    PostMessageW(g_main, kOpenModalDialog, 0, 0);
  }
  Record(L"ready", ready, true);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) Record(L"escape", L"", false);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  RevokeActiveObject(cookie, nullptr);
  if (IsWindow(g_main)) RevokeDragDrop(g_main);
  CoRegisterMessageFilter(nullptr, nullptr);
  OleUninitialize();
  return 0;
}
