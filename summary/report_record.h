// What one TOXSWA summary report yields for the table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "summary/text_list.h"

namespace quillmere {

// Where a name or date of a record is kept: an offset into the record's
// `texts`. The default, TextList::kNone, is the empty text.
using TextRef = TextList::Offset;

// The exposure results of one substance, in the report's own units; no value
// is converted. Figures that a report leaves blank or writes as text that is
// not a number ("-", "< 1e-6") are 0. The texts are kept in the record's
// `texts` (read them with ReportRecord::Text), so that a substance costs a
// fixed 72 bytes however many substances a report names.
struct SubstanceResult {
  // Name of the substance, from its water-layer table (text after column 42
  // of the "PEC in water layer" line), trimmed. Empty when none was read.
  TextRef name = TextList::kNone;
  // Water layer: global maximum concentration and the maximum 7-day and
  // 21-day time-weighted average concentrations. Default 0.
  double PECsw_max = 0;
  double TWA7d = 0;
  double TWA21d = 0;
  // Sediment: the same three figures. Default 0.
  double PECsed_max = 0;
  double TWAsed7d = 0;
  double TWAsed21d = 0;
  // Dates of the water and sediment maxima, trimmed, as the report writes
  // them (for example "25-Nov-1978-02h00"). Default empty.
  TextRef waterMaxDate = TextList::kNone;
  TextRef sedimentMaxDate = TextList::kNone;
};

// A time-weighted average concentration over a window the report lists
// besides the 7 and 21 days of the table (TOXSWA lists 1 to 100 days).
struct TwaWindow {
  // The substance (an index into ReportRecord::substances).
  std::uint32_t substance = 0;
  // True for the sediment, false for the water layer.
  bool sediment = false;
  // Length of the window in days, 1 to 100.
  std::uint16_t days = 0;
  // The figure, read as the table's figures are read.
  double value = 0;
};

// One report, in the order of the table's columns.
struct ReportRecord {
  // Name of the run folder and of the report file (with its ".sum" ending),
  // names alone, no path. Set by the run, not by the reader.
  std::string runFolder;
  std::string reportFile;
  // Scenario label: the report's scenario, with "2" appended when it equals
  // the label of the report read just before it in the same run folder.
  std::string scenario;
  // The substances, in the order the report names them; may be empty.
  std::vector<SubstanceResult> substances;
  // Application dates, in the order of the application rows: each the text
  // of at most 17 bytes from column 9 of its row, untrimmed. An empty date
  // costs one byte.
  TextList applicationDates;
  // What the report says of itself, for the workbook; the table does not
  // use it. Each is the report's text, trimmed, Latin-1 as read, and empty
  // when the report does not say it:
  //   version        the FOCUS TOXSWA version ("FOCUS TOXSWA 5.5.3", or
  //                  "FOCUS_TOXSWA 3.3.1" for the older layout)
  //   waterBodyType  the water body type of the header ("R1_STREAM")
  //   waterUnit      the unit of the water-layer figures ("\xB5g.L-1")
  //   sedimentUnit   the unit of the sediment figures ("\xB5g.kg-1")
  std::string version;
  std::string waterBodyType;
  std::string waterUnit;
  std::string sedimentUnit;
  // Every other time-weighted average window the report lists, in the order
  // it lists them; empty when it lists none.
  std::vector<TwaWindow> twaWindows;
  // The names and dates of `substances`. Substances whose text comes from
  // the same line of the report share one copy of it.
  TextList texts;

  // The name or date `ref` of one of `substances`.
  std::string_view Text(TextRef ref) const { return texts.At(ref); }

  // Keeps `text` in `texts` and returns where.
  TextRef KeepText(std::string_view text) { return texts.Append(text); }
};

}  // namespace quillmere
