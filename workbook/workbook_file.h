// The workbook's place on disk: what must not be replaced, refused before the
// run, and the paths the workbook shows. One source per platform
// (workbook_file_posix.cpp, workbook_file_windows.cpp); the workbook itself
// is replaced as the table is (runtime/file_handle.h).
#pragma once

#include <optional>
#include <string>

#include "runtime/file_error.h"

namespace quillmere {

// Throws FileError naming `path` when a workbook must not replace what is
// there: a symbolic link ("not written: it is a symbolic link"), a file with
// other hard links ("not written: it has other hard links"), a folder, pipe,
// device or socket ("not written: it is not a plain file"), and on Windows a
// file another program holds open ("... open in another program ..."). Nothing
// there is fine. Nothing is changed. The run refuses the same again when it
// puts the workbook in place.
void CheckReplaceable(const std::string& path);

// `path` as an absolute path, for a person to read: on POSIX systems
// resolved by the file system (symbolic links followed) when it can be, else
// joined to the current folder; on Windows the full path Windows makes of it.
// `path` itself when neither works.
std::string AbsolutePath(const std::string& path);

}  // namespace quillmere
