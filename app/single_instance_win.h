#pragma once
// One palette per program folder: a second start brings the running one to the front and
// ends, so two palettes never write the same settings and folder list over each other.
#include <windows.h>

#include <string>

namespace tesmar {

class SingleInstance {
 public:
  SingleInstance() = default;
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Claims the palette of `programFolder` for this process; false when another process holds
  // it. A failure of the platform calls lets the program run (a palette too many is better
  // than none).
  bool Claim(const std::u16string& programFolder);
  // Tells a later start which window to bring forward.
  void Publish(HWND mainWindow);

  // Brings the running palette of `programFolder` to the front: restored when minimised,
  // shown, and made the foreground window. Waits up to `waitMs` for a palette that is still
  // starting to publish its window. False when no window was found.
  static bool BringRunningToFront(const std::u16string& programFolder, DWORD waitMs = 10000);

 private:
  HANDLE mutex_ = nullptr;
  HANDLE mapping_ = nullptr;
};

// The folder of the running program, without a final separator.
std::u16string ProgramFolderOfThisProcess();

}  // namespace tesmar
