// The version block, the icon and the manifest read back from the built Quelvo.scr.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host.h"

namespace host {
namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colourCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInRes;
  WORD id;
};
struct GroupIconDir {
  WORD reserved;
  WORD type;
  WORD count;
  GroupIconEntry entries[1];
};
#pragma pack(pop)

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

}  // namespace

int CheckVersionBlock(const std::wstring& scr) {
  Checks checks;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(scr.c_str(), &ignored);
  checks.Expect(size > 0, "the file has a version block");
  if (size == 0) return checks.failures();
  std::vector<char> block(size);
  GetFileVersionInfoW(scr.c_str(), 0, size, block.data());

  const struct {
    const wchar_t* key;
    const wchar_t* value;
  } strings[] = {
      {L"Comments", L"Quelvo Screensaver"},
      {L"CompanyName", L"SUVANI"},
      {L"ProductName", L"Quelvo Screen Saver"},
      {L"FileVersion", L"1.00"},
      {L"ProductVersion", L"1.00"},
      {L"InternalName", L"Quelvo"},
      {L"OriginalFilename", L"Quelvo.scr"},
  };
  for (const auto& s : strings) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + s.key;
    wchar_t* value = nullptr;
    UINT length = 0;
    BOOL found =
        VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length);
    bool exact = found && value && std::wstring(value) == s.value;
    checks.Expect(exact, "%s is \"%s\" (read \"%s\")", Narrow(s.key).c_str(),
                  Narrow(s.value).c_str(), found ? Narrow(value).c_str() : "<missing>");
  }

  DWORD* translation = nullptr;
  UINT length = 0;
  BOOL found = VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                              reinterpret_cast<void**>(&translation), &length);
  checks.Expect(
      found && length == 4 && LOWORD(*translation) == 0x0409 && HIWORD(*translation) == 1200,
      "Translation is language 0409, code page 04B0");

  VS_FIXEDFILEINFO* fixed = nullptr;
  found = VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
  checks.Expect(found && fixed->dwSignature == 0xFEEF04BD && fixed->dwFileVersionMS == 0x00010000 &&
                    fixed->dwFileType == VFT_APP,
                "fixed file info: version 1.0, an application");

  checks.Expect(ExtractIconExW(scr.c_str(), -1, nullptr, nullptr, 0) == 1,
                "ExtractIconEx finds exactly one icon");

  HMODULE image = LoadLibraryExW(scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  checks.Expect(image != nullptr, "the file loads as a resource module");
  if (!image) return checks.failures();
  HRSRC group = FindResourceW(image, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  const auto* dir =
      group ? static_cast<const GroupIconDir*>(LockResource(LoadResource(image, group))) : nullptr;
  checks.Expect(dir && dir->count == 1, "RT_GROUP_ICON 1 holds one image");
  if (dir && dir->count >= 1) {
    const GroupIconEntry& e = dir->entries[0];
    checks.Expect(e.width == 32 && e.height == 32 && e.colourCount == 16 && e.bitCount == 4,
                  "the icon is 32 x 32 in 16 colours, 4 bits per pixel (%dx%d, %d colours, %d bpp)",
                  e.width, e.height, e.colourCount, e.bitCount);
  }

  HRSRC manifest = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  std::string text;
  if (manifest) {
    const char* data = static_cast<const char*>(LockResource(LoadResource(image, manifest)));
    text.assign(data, SizeofResource(image, manifest));
  }
  checks.Expect(text.find("PerMonitorV2,PerMonitor") != std::string::npos &&
                    text.find("true/pm") != std::string::npos,
                "the manifest declares per-monitor DPI awareness");
  checks.Expect(text.find("{e2011457-1546-43c5-a5fe-008deee3d3f0}") != std::string::npos &&
                    text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}") != std::string::npos,
                "the manifest names Windows Vista to 10/11 as supported");
  FreeLibrary(image);
  return checks.failures();
}

}  // namespace host
