// The workbook's place on disk: refusing what must not be replaced, a
// temporary file beside it, and the rename that puts it into place. One
// source per platform (workbook_file_posix.cpp, workbook_file_windows.cpp).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "runtime/file_error.h"

namespace quillmere {

// Throws FileError naming `path` when a workbook must not replace what is
// there: a symbolic link ("not written: it is a symbolic link"), a file with
// other hard links ("not written: it has other hard links"), a folder, pipe,
// device or socket ("not written: it is not a plain file"), and on Windows a
// file another program holds open ("... open in another program ..."). Nothing
// there is fine. Nothing is changed.
void CheckReplaceable(const std::string& path);

// Creates a new, empty file in the folder of `path` with a name of its own
// that begins with "." (so a run never takes it for a run folder), and
// returns its path. Throws FileError naming `path` when it cannot.
std::string CreateTemporaryBeside(const std::string& path);

// Calls `write` with a name under which a library that opens files by a
// narrow (char) name reaches `path`: the path itself where names are bytes;
// on Windows, whose narrow names are in the ANSI code page, the file's name
// alone (which CreateTemporaryBeside makes ASCII) while the process's
// current folder is the file's folder.
void WithNarrowName(const std::string& path, const std::function<void(const std::string& name)>& write);

// The link from the workbook in `directory` to the report at `reportPath`
// (a path in `directory`), as Excel's HYPERLINK takes it: on POSIX systems a
// file: URL of the absolute path, every byte but letters, digits and "/-._~"
// percent-encoded; on Windows the path relative to the directory, so that it
// keeps working when the directory is moved or copied whole.
std::string ReportLink(const std::string& directory, const std::string& reportPath);

// `path` as an absolute path, for a person to read: on POSIX systems
// resolved by the file system (symbolic links followed) when it can be, else
// joined to the current folder; on Windows the full path Windows makes of it.
// `path` itself when neither works.
std::string AbsolutePath(const std::string& path);

// Renames `temporary` to `path`, replacing what is there in one step. (Not
// named ReplaceFile: <windows.h> makes that name a macro.)
std::optional<FileError> MoveIntoPlace(const std::string& temporary, const std::string& path);

// Removes `path`, if it is there; failures are ignored.
void RemoveFile(const std::string& path);

}  // namespace quillmere
