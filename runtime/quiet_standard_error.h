// Keeping a library's own printing off the program's standard error.
#pragma once

namespace quillmere {

// While one lives, what the process writes through the C library's standard
// error (file descriptor 2) goes nowhere. It is for libraries that print
// their failures there themselves (libxlsxwriter prints raw paths and its
// own codes) while the program reports the same failures in its own words.
// What was written before is flushed first and reaches standard error. When
// the descriptor cannot be redirected, nothing changes. The system's calls
// have one source per system (quiet_standard_error_posix.cpp,
// quiet_standard_error_windows.cpp).
class QuietStandardError final {
 public:
  QuietStandardError();
  ~QuietStandardError();
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  // The system's descriptors: -1 when a call fails.
  static int OpenNullDevice();
  static int Duplicate(int descriptor);  // a descriptor above 2 on the same file
  static bool MoveOnto(int from, int to);
  static void Close(int descriptor);

  int saved_ = -1;  // standard error itself, while 2 is elsewhere
};

}  // namespace quillmere
