// The reports the fuzzers start from, in the model's layout.
#pragma once

#include <string>
#include <vector>

namespace quillmere::fuzzing {

// One, two and no substances, then two with LF and one with CR line ends.
// Inputs pick a template by its place in this list, so a corpus stays
// meaningful only while the order does.
const std::vector<std::string>& ReportTemplates();

}  // namespace quillmere::fuzzing
