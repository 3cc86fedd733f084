// An open descriptor (POSIX) or HANDLE (Windows) that closes itself, so that
// no path of the code has to close it by hand. One source per platform
// closes it (system_handle_posix.cpp, system_handle_windows.cpp).
#pragma once

#include <cstdint>
#include <utility>

namespace quillmere {

// Closes `value`, a descriptor or HANDLE; returns the system's error number
// (errno, or GetLastError) when closing it failed, else 0.
unsigned long CloseSystemHandle(std::intptr_t value);

class SystemHandle {
 public:
  // What no open descriptor or HANDLE is (INVALID_HANDLE_VALUE is -1 too).
  static constexpr std::intptr_t kClosed = -1;

  SystemHandle() = default;
  explicit SystemHandle(std::intptr_t value) : value_(value) {}
  ~SystemHandle() { (void)Close(); }
  SystemHandle(SystemHandle&& other) noexcept : value_(other.Release()) {}
  SystemHandle& operator=(SystemHandle&& other) noexcept {
    if (this != &other) {
      (void)Close();
      value_ = other.Release();
    }
    return *this;
  }
  SystemHandle(const SystemHandle&) = delete;
  SystemHandle& operator=(const SystemHandle&) = delete;

  std::intptr_t get() const { return value_; }
  bool isOpen() const { return value_ != kClosed; }

  // Gives the value up without closing it.
  std::intptr_t Release() { return std::exchange(value_, kClosed); }

  // Closes it now; returns the system's error number when that failed, else
  // 0 (also when it was not open). It counts as closed either way.
  unsigned long Close() { return isOpen() ? CloseSystemHandle(Release()) : 0; }

 private:
  std::intptr_t value_ = kClosed;
};

}  // namespace quillmere
