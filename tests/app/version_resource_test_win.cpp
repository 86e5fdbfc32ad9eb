// The version resource of Tesmar.exe carries the project version, in Japanese and in English.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/strings.h"
#include "tesmar_version.h"

namespace tesmar {
namespace {

std::wstring StringValue(std::vector<unsigned char>& block, const wchar_t* language, const wchar_t* name) {
  std::wstring key = std::wstring(L"\\StringFileInfo\\") + language + L"\\" + name;
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return L"";
  return std::wstring(value, wcsnlen(value, length));
}

TEST(VersionResource, ReadsBackAsTheProjectVersionInBothLanguages) {
  const std::wstring exe = ToWide(Utf8ToUtf16(TESMAR_EXE));
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
  ASSERT_GT(size, 0u) << TESMAR_EXE;
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, DWORD((TESMAR_VERSION_MAJOR << 16) | TESMAR_VERSION_MINOR));
  EXPECT_EQ(fixed->dwFileVersionLS, DWORD(TESMAR_VERSION_PATCH << 16));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);

  const std::wstring dotted = ToWide(Utf8ToUtf16(TESMAR_VERSION_DOTTED));
  for (const wchar_t* language : {L"041104B0", L"040904B0"}) {
    SCOPED_TRACE(Utf16ToUtf8(FromWide(language)));
    EXPECT_EQ(StringValue(block, language, L"FileVersion"), dotted);
    EXPECT_EQ(StringValue(block, language, L"ProductVersion"), dotted);
    EXPECT_EQ(StringValue(block, language, L"ProductName"), L"Tesmar");
    EXPECT_NE(StringValue(block, language, L"LegalCopyright"), L"");
  }
  EXPECT_NE(StringValue(block, L"041104B0", L"FileDescription").find(L"図面"), std::wstring::npos);
  EXPECT_NE(StringValue(block, L"040904B0", L"FileDescription").find(L"drawing"), std::wstring::npos);
}

// The program's icon is resource 1 of Tesmar.exe (the windows, the shortcut and Explorer take
// it from there), with a picture of each size Windows asks for.
TEST(ProgramIcon, TheExeCarriesItsIconInEverySize) {
  const std::wstring exe = ToWide(Utf8ToUtf16(TESMAR_EXE));
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_TRUE(module);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  ASSERT_TRUE(group) << "Tesmar.exe has no icon";
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, group)));
  ASSERT_TRUE(bytes);
  std::vector<int> sizes;
  const int count = bytes[4] | (bytes[5] << 8);
  for (int i = 0; i < count; ++i) sizes.push_back(bytes[6 + 14 * i] ? bytes[6 + 14 * i] : 256);
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 256}));
  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    EXPECT_TRUE(icon) << size;
    if (icon) DestroyIcon(icon);
  }
  FreeLibrary(module);
}

}  // namespace
}  // namespace tesmar
