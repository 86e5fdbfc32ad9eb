#include "app/zoomer_place_win.h"

#include <windows.h>

#include "base/strings.h"

namespace tesmar {
namespace {

constexpr wchar_t kSection[] = L"Zoomer";

int ReadInt(const std::wstring& file, const wchar_t* key) {
  return int(GetPrivateProfileIntW(kSection, key, 0, file.c_str()));
}

void WriteInt(const std::wstring& file, const wchar_t* key, int value) {
  WritePrivateProfileStringW(kSection, key, std::to_wstring(value).c_str(), file.c_str());
}

}  // namespace

TZoomerPlace ReadZoomerPlace(const std::u16string& iniPath) {
  const std::wstring file = ToWide(iniPath);
  TZoomerPlace p;
  p.left = ReadInt(file, L"Left");
  p.top = ReadInt(file, L"Top");
  p.width = ReadInt(file, L"Width");
  p.height = ReadInt(file, L"Height");
  p.panelWidth = ReadInt(file, L"Panel");
  return p;
}

void WriteZoomerPlace(const std::u16string& iniPath, const TZoomerPlace& place) {
  if (place.width <= 0 || place.height <= 0) return;
  const std::wstring file = ToWide(iniPath);
  WriteInt(file, L"Left", place.left);
  WriteInt(file, L"Top", place.top);
  WriteInt(file, L"Width", place.width);
  WriteInt(file, L"Height", place.height);
  WriteInt(file, L"Panel", place.panelWidth);
}

}  // namespace tesmar
