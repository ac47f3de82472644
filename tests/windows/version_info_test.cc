// Reads back the version resource of a shipped Windows program as
// Explorer's Properties, Details shows it: the file and product versions,
// the product name, the description and the original file name.
//   version_info_test PROGRAM VERSION
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int failures = 0;

void expect(bool right, const wchar_t* what, const std::wstring& found,
            const std::wstring& expected) {
  std::printf("%s: %ls is \"%ls\"; expected \"%ls\"\n", right ? "ok" : "FAILED", what,
              found.c_str(), expected.c_str());
  if (!right) ++failures;
}

// The text `name` of the U.S. English, Unicode string table; empty when
// there is none.
std::wstring text_of(const std::vector<BYTE>& info, const wchar_t* name) {
  const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), key.c_str(), &value, &length) || length == 0) {
    return std::wstring();
  }
  return static_cast<const wchar_t*>(value);
}

// "1.2.3.0" from the fixed part of the resource.
std::wstring fixed_version_of(const std::vector<BYTE>& info) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::wstring();
  }
  const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  wchar_t text[64];
  std::swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::printf("usage: version_info_test PROGRAM VERSION\n");
    return 2;
  }
  const std::wstring program = argv[1];
  const std::wstring version = argv[2];
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &unused);
  std::vector<BYTE> info(size);
  if (size == 0 || !GetFileVersionInfoW(program.c_str(), 0, size, info.data())) {
    std::printf("FAILED: %ls has no version resource (error %lu)\n", program.c_str(),
                GetLastError());
    return 1;
  }
  const std::wstring file_name = program.substr(program.find_last_of(L"/\\") + 1);
  expect(fixed_version_of(info) == version + L".0", L"the file version", fixed_version_of(info),
         version + L".0");
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    expect(text_of(info, name) == version, name, text_of(info, name), version);
  }
  expect(text_of(info, L"ProductName") == L"ISO 8583 tools", L"ProductName",
         text_of(info, L"ProductName"), L"ISO 8583 tools");
  expect(text_of(info, L"OriginalFilename") == file_name, L"OriginalFilename",
         text_of(info, L"OriginalFilename"), file_name);
  expect(!text_of(info, L"FileDescription").empty(), L"FileDescription",
         text_of(info, L"FileDescription"), L"some text");
  return failures == 0 ? 0 : 1;
}
