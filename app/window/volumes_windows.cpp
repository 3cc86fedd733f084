// MountedVolumes on Windows: the drive letters, named by their labels or
// their network shares.
#include <windows.h>
#include <winnetwk.h>

#include <string>

#include "app/window/volumes.h"
#include "runtime/windows_text.h"

namespace quillmere {

namespace {

// The label of the volume at `root` ("C:\"); empty when it has none or its
// drive holds no medium, which must not keep the drive from the list.
std::wstring Label(const wchar_t* root) {
  wchar_t label[MAX_PATH + 1] = L"";
  // No "insert a disk" box for an empty card reader.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const BOOL read = GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
  SetErrorMode(previousMode);
  return read ? std::wstring(label) : std::wstring();
}

// The share a network drive stands for ("\\server\share"); empty for a
// local drive.
std::wstring ShareName(const wchar_t* root) {
  if (GetDriveTypeW(root) != DRIVE_REMOTE) return {};
  const wchar_t local[3] = {root[0], L':', L'\0'};
  wchar_t remote[MAX_PATH + 1] = L"";
  DWORD size = MAX_PATH + 1;
  return WNetGetConnectionW(local, remote, &size) == NO_ERROR ? std::wstring(remote) : std::wstring();
}

}  // namespace

std::vector<Volume> MountedVolumes() {
  std::vector<Volume> volumes;
  wchar_t roots[26 * 4 + 1] = L"";
  const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(roots)), roots);
  if (length == 0 || length >= std::size(roots)) return volumes;
  // "A:\", "C:\", ... each ended by a NUL, the list by a second one.
  for (const wchar_t* root = roots; *root != L'\0'; root += wcslen(root) + 1) {
    std::wstring name = ShareName(root);
    if (name.empty()) name = Label(root);
    volumes.push_back(Volume{WideToUtf8(root), WideToUtf8(name)});
  }
  return volumes;
}

}  // namespace quillmere
