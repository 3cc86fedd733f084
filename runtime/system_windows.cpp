#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "runtime/system.h"

namespace quillmere {

namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

class WindowsSystem : public System {
 public:
  std::intptr_t Open(const OpenCall& call) override {
    return reinterpret_cast<std::intptr_t>(::CreateFileW(call.path, call.access, call.share, nullptr,
                                                         call.disposition, call.attributes, nullptr));
  }
  bool Read(std::intptr_t file, char* data, std::size_t size, std::size_t& got) override {
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD taken = 0;
    const bool read = ::ReadFile(AsHandle(file), data, asked, &taken, nullptr) != 0;
    got = taken;
    return read;
  }
  bool Write(std::intptr_t file, const char* data, std::size_t size, std::size_t& written) override {
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD taken = 0;
    const bool wrote = ::WriteFile(AsHandle(file), data, asked, &taken, nullptr) != 0;
    written = taken;
    return wrote;
  }
  bool Status(std::intptr_t file, void* status) override {
    return ::GetFileInformationByHandle(AsHandle(file), static_cast<BY_HANDLE_FILE_INFORMATION*>(status)) !=
           0;
  }
  bool Flush(std::intptr_t file) override { return ::FlushFileBuffers(AsHandle(file)) != 0; }
  bool Truncate(std::intptr_t file, std::uint64_t size) override {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFilePointerEx(AsHandle(file), position, nullptr, FILE_BEGIN) &&
           ::SetEndOfFile(AsHandle(file));
  }
  bool Seek(std::intptr_t file, std::uint64_t offset) override {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(AsHandle(file), position, nullptr, FILE_BEGIN) != 0;
  }
  std::intptr_t Duplicate(std::intptr_t file) override {
    HANDLE copy = INVALID_HANDLE_VALUE;
    const HANDLE process = ::GetCurrentProcess();
    if (!::DuplicateHandle(process, AsHandle(file), process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
      return reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
    return reinterpret_cast<std::intptr_t>(copy);
  }
  bool SetAttributes(std::intptr_t file, unsigned long attributes) override {
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes;
    return ::SetFileInformationByHandle(AsHandle(file), FileBasicInfo, &basic, sizeof basic) != 0;
  }
  bool Rename(const RenameCall& call) override {
    // Through the handle the run holds, so no other program can take the
    // file between the last write and the rename.
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + call.target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(call.target.size() * sizeof(wchar_t));
    std::copy(call.target.begin(), call.target.end(), rename->FileName);
    return ::SetFileInformationByHandle(AsHandle(call.file), FileRenameInfo, rename,
                                        static_cast<DWORD>(buffer.size())) != 0;
  }
  bool Lock(std::intptr_t) override { return true; }
  bool Close(std::intptr_t file) override { return ::CloseHandle(AsHandle(file)) != 0; }
  void* OpenListing(const ListingCall& call) override {
    const HANDLE search = ::FindFirstFileExW(call.pattern, FindExInfoBasic, call.entry, FindExSearchNameMatch,
                                             nullptr, FIND_FIRST_EX_LARGE_FETCH);
    return search != INVALID_HANDLE_VALUE ? search : nullptr;
  }
  bool NextEntry(std::string_view, void* listing, void* entry) override {
    return ::FindNextFileW(static_cast<HANDLE>(listing), static_cast<WIN32_FIND_DATAW*>(entry)) != 0;
  }
  void* Allocate(void* block, std::size_t size) override { return std::realloc(block, size); }
};

}  // namespace

System& PlatformSystem() {
  static WindowsSystem system;
  return system;
}

void SetSystemError(unsigned long error) { ::SetLastError(error); }

}  // namespace quillmere
