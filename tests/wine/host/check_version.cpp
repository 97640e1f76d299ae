// The version block, the icon and the manifest read back from the built Quelvo.scr.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <utility>
#include <vector>

#include "host.h"

namespace host {

int CheckVersionBlock(const std::wstring& scr) {
  Checks checks;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(scr.c_str(), &ignored);
  if (!checks.Expect(size > 0, "the file has a version block")) return checks.failures();
  std::vector<char> block(size);
  GetFileVersionInfoW(scr.c_str(), 0, size, block.data());

  for (auto [key, want] : {std::pair{L"Comments", L"Quelvo Screensaver"},
                           {L"CompanyName", L"SUVANI"},
                           {L"ProductName", L"Quelvo Screen Saver"},
                           {L"FileVersion", L"1.00"},
                           {L"ProductVersion", L"1.00"},
                           {L"InternalName", L"Quelvo"},
                           {L"OriginalFilename", L"Quelvo.scr"}}) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
      value = nullptr;
    checks.Expect(value && std::wstring(value) == want, "%ls is \"%ls\" (read \"%ls\")", key, want,
                  value ? value : L"<missing>");
  }

  DWORD* translation = nullptr;
  UINT length = 0;
  BOOL found = VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                              reinterpret_cast<void**>(&translation), &length);
  checks.Expect(
      found && length == 4 && LOWORD(*translation) == 0x0409 && HIWORD(*translation) == 1200,
      "Translation is language 0409, code page 04B0");

  checks.Expect(ExtractIconExW(scr.c_str(), -1, nullptr, nullptr, 0) == 1,
                "ExtractIconEx finds exactly one icon");

  HMODULE image = LoadLibraryExW(scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!checks.Expect(image != nullptr, "the file loads as a resource module"))
    return checks.failures();
  HRSRC group = FindResourceW(image, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  // The group: reserved, type and count words, then for each image its width, height and
  // colour count bytes, a reserved byte, and its planes and bit count words.
  const auto* d =
      group ? static_cast<const BYTE*>(LockResource(LoadResource(image, group))) : nullptr;
  checks.Expect(d && d[4] == 1 && d[5] == 0 && d[6] == 32 && d[7] == 32 && d[8] == 16 && d[12] == 4,
                "RT_GROUP_ICON 1 holds one image, 32 x 32 in 16 colours, 4 bits per pixel");

  HRSRC manifest = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  const std::string text =
      manifest ? std::string(static_cast<const char*>(LockResource(LoadResource(image, manifest))),
                             SizeofResource(image, manifest))
               : "";
  checks.Expect(text.find("PerMonitorV2,PerMonitor") != std::string::npos &&
                    text.find("true/pm") != std::string::npos,
                "the manifest declares per-monitor DPI awareness");
  FreeLibrary(image);
  return checks.failures();
}

}  // namespace host
