// The one failure type of the file, listing and report operations.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace quillmere {

// What kind of failure a FileError is, for code that must tell them apart:
// code never compares the words of a reason.
enum class FileErrorKind {
  kOther,           // any other failure, in its own words
  kSystem,          // the system refused a call (SystemError, WindowsError)
  kHeldOpen,        // Windows: another program holds the file open
  kSymbolicLink,    // not replaced: it is a symbolic link
  kOtherHardLinks,  // not replaced: it has other hard links
  kNotPlainFile,    // not replaced: it is a folder, pipe, device or socket
  kRunAtWork,       // not written: another run is writing it
  kMovedAway,       // not written: the hidden file was moved away during the run
};

// A failure that concerns one file or folder: its path, exactly as the caller
// built it, and what went wrong, in words fit for a person.
class FileError : public std::runtime_error {
 public:
  FileError(std::string path, std::string reason, FileErrorKind kind = FileErrorKind::kOther);

  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }
  FileErrorKind kind() const { return kind_; }

 private:
  std::string path_;
  std::string reason_;
  FileErrorKind kind_;
};

// The refusal of `kind` (a link, other hard links, not a plain file, another
// run at work) for `path`, in the one wording every file that is replaced
// uses, for example "not written: it is a symbolic link".
FileError Refusal(std::string path, FileErrorKind kind);

// "<path>: <reason>": how every front end words `error`.
std::string Describe(const FileError& error);

// Words for an exception that escaped a run, for a front end's last-resort
// message: "not enough memory" when memory ran out outside the work on one
// file, else the exception's own text.
std::string DescribeUnexpected(const std::exception& error);

// A FileError for `path` from an operating-system error number: "<action>:
// <system's text for the number>", for example "cannot open: No such file or
// directory". This is the one place where error numbers become words.
FileError SystemError(std::string path, const std::string& action, int errorNumber);

// Windows only: the same from a Windows error code (GetLastError), in the
// system's own words for it (FormatMessage), without the closing period: for
// example "cannot list: The network path was not found". A file another
// program holds open (Excel keeps its files so) says just that and what to do.
// Codes the system has no text for read "system error N".
FileError WindowsError(std::string path, const std::string& action, unsigned long errorCode);

}  // namespace quillmere
