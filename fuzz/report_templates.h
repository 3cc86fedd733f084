// The reports the fuzzers start from, in the model's layout.
#pragma once

#include <string>
#include <vector>

namespace quillmere::fuzzing {

// One, two and no substances, then two with LF and one with CR line ends;
// then reports of the older FOCUS_TOXSWA 3.x layout: a pond (LF), a ditch
// (CR LF), a stream with three applications (LF) and one without
// applications (CR), their run IDs those of OlderProjectReportTemplate.
// Inputs pick a template by its place in this list, so a corpus stays
// meaningful only while the order does.
const std::vector<std::string>& ReportTemplates();

// A SWASH 3 project report naming the runs of the older templates, with the
// ditch's and the stream's water bodies swapped against their run IDs.
const std::string& OlderProjectReportTemplate();

}  // namespace quillmere::fuzzing
