// Folder paths as the directory and drive lists handle them: in their
// absolute, normal form (runtime/path.h), from the process's current
// directory.
#pragma once

#include <string>

#include "runtime/path.h"

namespace quillmere {

// The process's current directory, UTF-8 on Windows; the root when it cannot
// be had.
std::string CurrentDirectory();

}  // namespace quillmere
