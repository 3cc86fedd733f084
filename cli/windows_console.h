// Windows only: the command line's standard output and error.
#pragma once

#include <streambuf>
#include <string>

namespace quillmere {

// A stream buffer over a standard handle (STD_OUTPUT_HANDLE or
// STD_ERROR_HANDLE) that takes UTF-8. In a console the text is written as
// UTF-16 with WriteConsoleW, so every path shows right whatever the console's
// code page; redirected to a file or a pipe it is written as UTF-8 bytes.
// Either way a line ends in CR LF (a lone LF is written as CR LF). Text is
// written at each flush; a failed write makes the flush fail.
class WindowsConsoleBuffer : public std::streambuf {
 public:
  explicit WindowsConsoleBuffer(unsigned long standardHandle);
  ~WindowsConsoleBuffer() override;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  void* handle_;
  bool owned_ = false;
  bool isConsole_ = false;
  std::string pending_;
  bool lastWasCr_ = false;
};

}  // namespace quillmere
