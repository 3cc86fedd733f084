// The cells of the workbook's sheets as libxlsxwriter writes them, every
// call's result checked in one place, and the cell formats the sheets share.
// Within workbook/ only: it names libxlsxwriter's types.
#pragma once

#include <xlsxwriter.h>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "runtime/file_error.h"

namespace quillmere {

// The cell formats of the workbook.
struct WorkbookFormats {
  lxw_format* header;
  lxw_format* title;
  lxw_format* date;
  lxw_format* link;
  lxw_format* above;
  lxw_format* atOrUnder;
};

WorkbookFormats MakeFormats(lxw_workbook* book);

// "A", ..., "Z", "AA", ... for the column `column` (0-based).
std::string ColumnName(std::size_t column);
// "B3" for row 2, column 1 (both 0-based).
std::string CellName(std::size_t row, std::size_t column);

// The failure `error` of libxlsxwriter for `action` on `path`: in the
// system's words when the system caused it, from `errorNumber` (errno as the
// call left it), so that a full disk reads "No space left on device" and not
// zip's "ZIP_ERRNO"; in libxlsxwriter's words otherwise.
FileError LibraryFailure(const std::string& path, const std::string& action, lxw_error error,
                         int errorNumber);

// One sheet's cells. The first call the library refuses is kept with the
// cell it was for; the calls after it are still made, so that a sheet is
// written alike whether or not one of them fails, and the loops that write
// many cells ask ok() to end early.
class SheetCells {
 public:
  SheetCells() = default;
  // `name` is the sheet's, for the failure.
  SheetCells(lxw_worksheet* sheet, std::string name) : sheet_(sheet), name_(std::move(name)) {}

  // Keeps `error`, the result of a call for the cell at `row`, `column`,
  // when it is the first refusal.
  void Check(lxw_error error, std::size_t row, std::size_t column);
  // An empty text leaves the cell empty.
  void Text(std::size_t row, std::size_t column, const std::string& text, lxw_format* format = nullptr);
  void Number(std::size_t row, std::size_t column, double value, lxw_format* format = nullptr);
  void Comment(std::size_t row, std::size_t column, const std::string& text);
  // The width of the columns `first` to `last`.
  void Width(std::size_t first, std::size_t last, double width);

  bool ok() const { return error_ == LXW_NO_ERROR; }
  lxw_worksheet* sheet() const { return sheet_; }

  // After a refusal: "not written: cell Summary!D7: REASON", naming `path`.
  std::optional<FileError> Failure(const std::string& path) const;

  // Rows and columns are checked against the sheet's limits before any is
  // written.
  static lxw_row_t Row(std::size_t row) { return static_cast<lxw_row_t>(row); }
  static lxw_col_t Column(std::size_t column) { return static_cast<lxw_col_t>(column); }

 private:
  lxw_worksheet* sheet_ = nullptr;
  std::string name_;
  lxw_error error_ = LXW_NO_ERROR;
  std::size_t row_ = 0;
  std::size_t column_ = 0;
};

}  // namespace quillmere
