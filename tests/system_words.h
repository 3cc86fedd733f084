// What the system says, in the words FileError reasons use after
// "<action>: ", for the failures the tests make on every system.
#pragma once

#include <string>

namespace quillmere::testing {

// A file that is not there, opened.
std::string MissingFileWords();
// A folder that is not there, listed.
std::string MissingFolderWords();

}  // namespace quillmere::testing
