#include "app/single_instance_win.h"

#include <cstdint>

#include "app/startup.h"
#include "base/path_parts.h"
#include "base/strings.h"

namespace tesmar {
namespace {

// Names in the session's namespace: each signed-in user has palettes of their own.
std::wstring ObjectName(const std::u16string& programFolder, const wchar_t* suffix) {
  return L"Local\\" + ToWide(InstanceKeyFor(programFolder)) + suffix;
}

}  // namespace

SingleInstance::~SingleInstance() {
  if (mapping_) CloseHandle(mapping_);
  if (mutex_) {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
}

bool SingleInstance::Claim(const std::u16string& programFolder) {
  mutex_ = CreateMutexW(nullptr, TRUE, ObjectName(programFolder, L"").c_str());
  if (!mutex_) return true;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex_);
    mutex_ = nullptr;
    return false;
  }
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(std::uint64_t),
                                ObjectName(programFolder, L"-window").c_str());
  return true;
}

void SingleInstance::Publish(HWND mainWindow) {
  if (!mapping_) return;
  void* view = MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(std::uint64_t));
  if (!view) return;
  *static_cast<volatile std::uint64_t*>(view) = reinterpret_cast<std::uintptr_t>(mainWindow);
  UnmapViewOfFile(view);
}

bool SingleInstance::BringRunningToFront(const std::u16string& programFolder, DWORD waitMs) {
  const std::wstring name = ObjectName(programFolder, L"-window");
  for (DWORD start = GetTickCount();; Sleep(50)) {
    HWND window = nullptr;
    if (HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str())) {
      if (void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(std::uint64_t))) {
        window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*static_cast<volatile std::uint64_t*>(view)));
        UnmapViewOfFile(view);
      }
      CloseHandle(mapping);
    }
    if (window && IsWindow(window)) {
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      else if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOW);
      SetForegroundWindow(window);
      return true;
    }
    if (GetTickCount() - start >= waitMs) return false;
  }
}

std::u16string ProgramFolderOfThisProcess() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return FolderOf(FromWide(path));
}

}  // namespace tesmar
