#include "tests/support/cad_standin_win.h"

#include <objbase.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "base/codepage.h"
#include "base/strings.h"
#include "tests/support/testdata.h"

namespace tesmar::test {
namespace {

std::wstring NewGuid() {
  GUID g;
  CoCreateGuid(&g);
  wchar_t buf[64];
  StringFromGUID2(g, buf, 64);
  return buf;
}

void SetDefaultValue(const std::wstring& key, const std::wstring& value) {
  HKEY k;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("cannot write the test ProgID");
  RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
}

std::string StandInPath() {
  std::string p = TESMAR_CAD_STANDIN;
  if (!p.empty() && p[0] == '/') p = "Z:" + p;
  return p;
}

}  // namespace

TestProgId::TestProgId() : clsid_(NewGuid()) {
  std::wstring g = clsid_.substr(1, 8);
  progId_ = u"TesmarTest.Cad" + FromWide(g);
  SetDefaultValue(L"Software\\Classes\\" + ToWide(progId_) + L"\\CLSID", clsid_);
}

TestProgId::~TestProgId() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + ToWide(progId_)).c_str()); }

CadStandIn::CadStandIn(const std::wstring& clsid, const std::wstring& switches) {
  static TempDir* logs = new TempDir();  // one folder for the process's stand-in logs
  static int counter = 0;
  log_ = logs->path() / ("standin-" + std::to_string(++counter) + ".log");
  std::wstring exe = ToWide(Utf8ToUtf16(StandInPath()));
  std::wstring cmd = L"\"" + exe + L"\" /clsid:" + clsid + L" \"/log:" + log_.wstring() + L"\" " + switches;
  STARTUPINFOW si{sizeof si};
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
    throw std::runtime_error("cannot start the stand-in CAD program");
  // Ready once its object is in the running object table (it says so in its log).
  for (int i = 0; i < 600 && !window_; ++i) {
    for (const auto& e : Events())
      if (StartsWith16(e, u"ready ")) window_ = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoll(Utf16ToUtf8(e.substr(6)))));
    if (!window_) {
      if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  if (!window_) {
    Kill();
    throw std::runtime_error("the stand-in CAD program did not get ready");
  }
}

CadStandIn::~CadStandIn() { Kill(); }

bool CadStandIn::Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

void CadStandIn::Kill() {
  if (!pi_.hProcess) return;
  if (Running()) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 10000);
  }
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
  pi_ = {};
}

std::vector<std::u16string> CadStandIn::Events() const {
  std::ifstream in(log_, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string all = ss.str();
  std::vector<std::u16string> out;
  std::size_t start = 0;
  for (std::size_t nul; (nul = all.find('\0', start)) != std::string::npos; start = nul + 1)
    out.push_back(Utf8ToUtf16(all.substr(start, nul - start)));
  return out;
}

std::vector<std::u16string> CadStandIn::Commands() const {
  std::vector<std::u16string> out;
  for (const auto& e : Events())
    if (StartsWith16(e, u"command ")) out.push_back(e.substr(8));
  return out;
}

}  // namespace tesmar::test
