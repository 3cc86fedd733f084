#include "workbook/sheet_cells.h"

namespace quillmere {

WorkbookFormats MakeFormats(lxw_workbook* book) {
  WorkbookFormats formats{};
  formats.header = workbook_add_format(book);
  format_set_bold(formats.header);
  formats.title = workbook_add_format(book);
  format_set_bold(formats.title);
  format_set_font_size(formats.title, 12);
  formats.date = workbook_add_format(book);
  format_set_num_format(formats.date, "dd-mmm-yyyy hh:mm");
  formats.link = workbook_add_format(book);
  format_set_underline(formats.link, LXW_UNDERLINE_SINGLE);
  format_set_font_color(formats.link, LXW_COLOR_BLUE);
  formats.above = workbook_add_format(book);
  format_set_bg_color(formats.above, 0xFFC7CE);
  format_set_font_color(formats.above, 0x9C0006);
  formats.atOrUnder = workbook_add_format(book);
  format_set_bg_color(formats.atOrUnder, 0xC6EFCE);
  format_set_font_color(formats.atOrUnder, 0x006100);
  return formats;
}

std::string ColumnName(std::size_t column) {
  std::string name;
  for (++column; column > 0; column = (column - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
  }
  return name;
}

std::string CellName(std::size_t row, std::size_t column) {
  return ColumnName(column) + std::to_string(row + 1);
}

FileError LibraryFailure(const std::string& path, const std::string& action, lxw_error error,
                         int errorNumber) {
  switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
      return FileError(path, action + ": not enough memory");
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_CLOSE:
    case LXW_ERROR_ZIP_FILE_ADD:
      if (errorNumber != 0) return SystemError(path, action, errorNumber);
      break;
    default:
      break;
  }
  return FileError(path, action + ": " + lxw_strerror(error));
}

void SheetCells::Check(lxw_error error, std::size_t row, std::size_t column) {
  if (error != LXW_NO_ERROR && error_ == LXW_NO_ERROR) {
    error_ = error;
    row_ = row;
    column_ = column;
  }
}

void SheetCells::Text(std::size_t row, std::size_t column, const std::string& text, lxw_format* format) {
  if (!text.empty())
    Check(worksheet_write_string(sheet_, Row(row), Column(column), text.c_str(), format), row, column);
}

void SheetCells::Number(std::size_t row, std::size_t column, double value, lxw_format* format) {
  Check(worksheet_write_number(sheet_, Row(row), Column(column), value, format), row, column);
}

void SheetCells::Comment(std::size_t row, std::size_t column, const std::string& text) {
  Check(worksheet_write_comment(sheet_, Row(row), Column(column), text.c_str()), row, column);
}

void SheetCells::Width(std::size_t first, std::size_t last, double width) {
  Check(worksheet_set_column(sheet_, Column(first), Column(last), width, nullptr), 0, first);
}

std::optional<FileError> SheetCells::Failure(const std::string& path) const {
  if (ok()) return std::nullopt;
  return FileError(
      path, "not written: cell " + name_ + "!" + CellName(row_, column_) + ": " + lxw_strerror(error_));
}

}  // namespace quillmere
