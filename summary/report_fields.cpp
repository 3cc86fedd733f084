#include "summary/report_fields.h"

#include "runtime/file_error.h"
#include "runtime/number.h"
#include "runtime/text.h"

namespace quillmere {

bool IsBrokenFigure(std::string_view field) {
  if (field.find('*') != std::string_view::npos) return true;
  for (std::size_t i = 0; i + 3 <= field.size(); ++i) {
    const std::string_view three = field.substr(i, 3);
    if (EqualsIgnoringCase(three, "nan") || EqualsIgnoringCase(three, "inf")) return true;
  }
  return false;
}

double ReadFigure(std::string_view field, const std::string& path, std::size_t lineNumber,
                  std::string_view label) {
  field = Trim(field);
  if (IsBrokenFigure(field)) {
    throw FileError(path, "line " + std::to_string(lineNumber) + ": the figure after \"" +
                              std::string(Trim(label)) + "\" is not a number: \"" + std::string(field) +
                              "\"");
  }
  const NumberReading reading = ToNumber(field);
  if (reading.tooLarge) {
    throw FileError(path, "line " + std::to_string(lineNumber) + ": the figure \"" + std::string(field) +
                              "\" is too large for a number");
  }
  return reading.value;
}

std::string EndedEarlyReason(std::string_view expecting) {
  return "the report ends early, as that of a TOXSWA run that did not finish would, before " +
         std::string(expecting);
}

std::string LineTooLongReason(std::size_t lineNumber) {
  return "line " + std::to_string(lineNumber) +
         " is longer than 1 MiB: the file does not look like a TOXSWA summary report";
}

std::string LineContaining(std::string_view marker) {
  return "a line containing \"" + std::string(marker) + "\"";
}

}  // namespace quillmere
