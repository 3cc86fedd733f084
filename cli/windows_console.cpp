#include "cli/windows_console.h"

#include <windows.h>

#include "runtime/windows_text.h"

namespace quillmere {

// A handle of its own: the process's standard handle is closed and set anew
// while a library's printing is kept off it (QuietStandardError).
WindowsConsoleBuffer::WindowsConsoleBuffer(unsigned long standardHandle) : handle_(nullptr) {
  const HANDLE standard = ::GetStdHandle(standardHandle);
  if (standard == nullptr || standard == INVALID_HANDLE_VALUE) return;
  HANDLE own = nullptr;
  const HANDLE process = ::GetCurrentProcess();
  handle_ =
      ::DuplicateHandle(process, standard, process, &own, 0, FALSE, DUPLICATE_SAME_ACCESS) ? own : standard;
  owned_ = handle_ == own;
  DWORD mode = 0;
  isConsole_ = ::GetConsoleMode(handle_, &mode) != 0;
}

WindowsConsoleBuffer::~WindowsConsoleBuffer() {
  sync();
  if (owned_) ::CloseHandle(handle_);
}

WindowsConsoleBuffer::int_type WindowsConsoleBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  xsputn(&byte, 1);
  return c;
}

std::streamsize WindowsConsoleBuffer::xsputn(const char* text, std::streamsize count) {
  for (std::streamsize i = 0; i < count; ++i) {
    if (text[i] == '\n' && !lastWasCr_) pending_.push_back('\r');
    pending_.push_back(text[i]);
    lastWasCr_ = text[i] == '\r';
  }
  return count;
}

int WindowsConsoleBuffer::sync() {
  if (pending_.empty()) return 0;
  if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) {
    pending_.clear();
    return -1;
  }
  bool written = true;
  if (isConsole_) {
    const std::wstring wide = Utf8ToWide(pending_);
    std::size_t done = 0;
    while (written && done < wide.size()) {
      DWORD count = 0;
      written = ::WriteConsoleW(handle_, wide.data() + done, static_cast<DWORD>(wide.size() - done), &count,
                                nullptr) &&
                count > 0;
      done += count;
    }
  } else {
    std::size_t done = 0;
    while (written && done < pending_.size()) {
      DWORD count = 0;
      written = ::WriteFile(handle_, pending_.data() + done, static_cast<DWORD>(pending_.size() - done),
                            &count, nullptr) &&
                count > 0;
      done += count;
    }
  }
  pending_.clear();
  return written ? 0 : -1;
}

}  // namespace quillmere
