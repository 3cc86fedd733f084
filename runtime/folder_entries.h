// The system's side of listing a folder. One source per platform.
#pragma once

#include <string>
#include <vector>

#include "runtime/listing.h"

namespace quillmere {

// Every entry of `folder` but "." and "..", in the order the system gives
// them, each with its kind once symbolic links are followed. Throws FileError
// naming `folder` ("cannot list: ...") when it cannot be read to the end.
std::vector<ListedEntry> ReadFolderEntries(const std::string& folder);

}  // namespace quillmere
