#pragma once
// The stand-in CAD program (standins/cad) as a second process for one test: started with its
// switches, registered under a class id, stopped at the end. Its events (commands received,
// Escape presses, rejected calls) are read back from its log.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tesmar::test {

// A ProgID of the test's own, mapped to a fresh class id in the machine's classes (where the COM look-up reads them), so
// that tests running at the same time never find one another's stand-in. Removed at the end.
class TestProgId {
 public:
  TestProgId();
  ~TestProgId();
  TestProgId(const TestProgId&) = delete;
  TestProgId& operator=(const TestProgId&) = delete;
  const std::u16string& ProgId() const { return progId_; }
  const std::wstring& Clsid() const { return clsid_; }

 private:
  std::u16string progId_;
  std::wstring clsid_;
};

// The class id the test prefix maps "BricscadApp.AcadApplication" to.
inline constexpr wchar_t kDefaultStandInClsid[] = L"{6A3F1C52-7B7E-4C1E-9D2B-5C0A3E7F9B41}";

class CadStandIn {
 public:
  // Starts the stand-in with the class id and further switches and waits until its object is
  // registered. Throws when it cannot be started or does not get ready.
  CadStandIn(const std::wstring& clsid, const std::wstring& switches = L"");
  ~CadStandIn();
  CadStandIn(const CadStandIn&) = delete;
  CadStandIn& operator=(const CadStandIn&) = delete;

  HWND Window() const { return window_; }
  // Every event so far, in order: "command <text>", "escape", "rejected busy", ...
  std::vector<std::u16string> Events() const;
  // Only the texts of the commands received.
  std::vector<std::u16string> Commands() const;
  // Ends the process and waits for it; its running object goes with it.
  void Kill();
  bool Running() const;

 private:
  std::filesystem::path dir_, log_;
  PROCESS_INFORMATION pi_{};
  HWND window_ = nullptr;
};

}  // namespace tesmar::test
