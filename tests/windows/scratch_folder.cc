// Creating, filling and removing a scratch folder.
#include "tests/windows/scratch_folder.h"

#include <windows.h>

ScratchFolder::ScratchFolder(const std::wstring& label) {
  wchar_t temporary[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
  if (length == 0 || length > MAX_PATH) return;
  std::wstring path = std::wstring(temporary) + L"iso8583tool-" + label + L"-" +
                      std::to_wstring(GetCurrentProcessId());
  if (CreateDirectoryW(path.c_str(), nullptr)) path_ = path;
}

ScratchFolder::~ScratchFolder() {
  if (path_.empty()) return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

bool ScratchFolder::copy_in(const std::wstring& file, const std::wstring& name) const {
  const size_t name_start = file.find_last_of(L"\\/");
  const std::wstring own_name = name_start == std::wstring::npos ? file : file.substr(name_start + 1);
  const std::wstring& copy_name = name.empty() ? own_name : name;
  return !path_.empty() && CopyFileW(file.c_str(), (path_ + L"\\" + copy_name).c_str(), FALSE);
}
