// The Windows side of TemporaryFile: a file of a name no other takes, in the
// user's temporary folder (GetTempPathW), that the system removes when it is
// closed, the run ending however it does.
#include <windows.h>

#include <atomic>
#include <string>

#include "runtime/system.h"
#include "runtime/temporary_file.h"
#include "runtime/windows_text.h"

namespace quillmere {

namespace {

constexpr int kNameAttempts = 100;

std::atomic<unsigned> made{0};

}  // namespace

std::intptr_t TemporaryFile::Make(unsigned long& error) {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) {
    error = ::GetLastError();
    return -1;
  }
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = "quillmere-spool-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(made++) + "-" + std::to_string(::GetTickCount() % 1000000) +
                             ".tmp";
    const std::wstring path = std::wstring(folder, length) + Utf8ToWide(name);
    OpenCall call;
    call.name = name;
    call.path = path.c_str();
    call.access = GENERIC_READ | GENERIC_WRITE;
    call.share = 0;
    call.disposition = CREATE_NEW;
    call.attributes = FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE;
    const std::intptr_t file = CurrentSystem().Open(call);
    if (file != -1) return file;
    error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS) break;
  }
  return -1;
}

unsigned long TemporaryFile::LastError() { return ::GetLastError(); }

FileError TemporaryFile::Failure(const std::string& path, const std::string& action) const {
  if (error_ == 0) return FileError(path, action + ": the system moved no bytes");
  return WindowsError(path, action, error_);
}

}  // namespace quillmere
