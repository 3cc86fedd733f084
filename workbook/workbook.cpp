#include "workbook/workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <ctime>
#include <new>
#include <utility>

#include "runtime/number.h"
#include "runtime/path.h"
#include "runtime/platform.h"
#include "runtime/quiet_standard_error.h"
#include "summary/run_folder_details.h"
#include "summary/summary_run.h"
#include "workbook/workbook_file.h"
#include "workbook/workbook_text.h"

namespace quillmere {

namespace {

// Excel's last row: the header and 1,048,575 rows under it.
constexpr std::size_t kMaxDataRows = 1048575;
constexpr std::size_t kFigureCount = std::size(kFigureNames);

constexpr const char* kWaterBodyRule =
    "Water body: the report's water body type (R1_STREAM gives Stream); for a report that gives none, "
    "the part of the scenario label after its last \"_\" (D4_Pond gives Pond), empty when the label has "
    "none.";

// Excel's HYPERLINK takes at most 255 characters of target.
constexpr std::size_t kFormulaLinkCharacters = 255;
constexpr const char* kEntryRouteRule =
    "Entry route (estimated): Drift when the date of the water maximum is one of the report's "
    "application dates; otherwise Drainage for a scenario label beginning with D, Run-off for one "
    "beginning with R, else empty.";

double Figure(const SubstanceResult& substance, std::size_t figure) {
  const double figures[] = {substance.PECsw_max,  substance.TWA7d,    substance.TWA21d,
                            substance.PECsed_max, substance.TWAsed7d, substance.TWAsed21d};
  return figures[figure];
}

std::vector<ComparedFigure> FiguresOrDefault(std::vector<ComparedFigure> figures) {
  if (figures.empty()) figures.push_back(*ParseComparedFigure(kFigureNames[0]));
  return figures;
}

// The spool: the reports in the order of the table, each as length-prefixed
// texts and raw figures, read back once when the workbook is written.
class SpoolWriter {
 public:
  explicit SpoolWriter(std::FILE* file) : file_(file) {}
  void Text(std::string_view text) {
    const auto size = static_cast<std::uint32_t>(text.size());
    Bytes(&size, sizeof size);
    Bytes(text.data(), text.size());
  }
  void Count(std::size_t count) {
    const auto value = static_cast<std::uint32_t>(count);
    Bytes(&value, sizeof value);
  }
  void Number(double value) { Bytes(&value, sizeof value); }
  bool ok() const { return ok_; }

 private:
  void Bytes(const void* data, std::size_t size) {
    if (ok_ && size > 0 && std::fwrite(data, 1, size, file_) != size) ok_ = false;
  }
  std::FILE* file_;
  bool ok_ = true;
};

class SpoolReader {
 public:
  explicit SpoolReader(std::FILE* file) : file_(file) {}
  std::string Text() {
    const std::uint32_t size = Count();
    std::string text(ok_ ? size : 0, '\0');
    Bytes(text.data(), text.size());
    return text;
  }
  std::uint32_t Count() {
    std::uint32_t value = 0;
    Bytes(&value, sizeof value);
    return value;
  }
  double Number() {
    double value = 0;
    Bytes(&value, sizeof value);
    return value;
  }
  bool ok() const { return ok_; }

 private:
  void Bytes(void* data, std::size_t size) {
    if (ok_ && size > 0 && std::fread(data, 1, size, file_) != size) ok_ = false;
  }
  std::FILE* file_;
  bool ok_ = true;
};

struct SpooledSubstance {
  std::string name;
  double figures[kFigureCount] = {};
  std::string waterMaxDate;
  std::string sedimentMaxDate;
};

struct SpooledReport {
  std::string runFolder;
  std::string reportFile;
  std::string link;
  std::string scenario;
  std::string version;
  std::string waterBodyType;
  std::string mitigation;
  std::string crop;
  std::string application;
  std::vector<SpooledSubstance> substances;
  TextList applicationDates;
  std::vector<TwaWindow> windows;  // sorted by substance
};

bool ReadReport(SpoolReader& in, SpooledReport& report) {
  report.runFolder = in.Text();
  report.reportFile = in.Text();
  report.link = in.Text();
  report.scenario = in.Text();
  report.substances.resize(in.Count());
  for (SpooledSubstance& substance : report.substances) {
    substance.name = in.Text();
    for (double& figure : substance.figures) figure = in.Number();
    substance.waterMaxDate = in.Text();
    substance.sedimentMaxDate = in.Text();
    if (!in.ok()) return false;
  }
  report.applicationDates.Clear();
  for (std::uint32_t count = in.Count(); count > 0 && in.ok(); --count)
    report.applicationDates.Append(in.Text());
  report.version = in.Text();
  report.waterBodyType = in.Text();
  report.mitigation = in.Text();
  report.crop = in.Text();
  report.application = in.Text();
  report.windows.clear();
  for (std::uint32_t count = in.Count(); count > 0 && in.ok(); --count) {
    TwaWindow& window = report.windows.emplace_back();
    window.substance = in.Count();
    window.sediment = in.Count() != 0;
    window.days = static_cast<std::uint16_t>(in.Count());
    window.value = in.Number();
  }
  std::stable_sort(report.windows.begin(), report.windows.end(),
                   [](const TwaWindow& a, const TwaWindow& b) { return a.substance < b.substance; });
  return in.ok();
}

}  // namespace

// The cell formats of the workbook.
struct WorkbookFormats {
  lxw_format* header;
  lxw_format* title;
  lxw_format* date;
  lxw_format* link;
  lxw_format* above;
  lxw_format* atOrUnder;
};

namespace {

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

// The cells of one sheet, each write checked: the first failure is kept. A
// date of a report is a date-time cell, or the text read when it is not a
// valid date; an empty text leaves the cell empty.
class CheckedCells {
 public:
  explicit CheckedCells(lxw_worksheet* sheet) : sheet_(sheet) {}

  void Check(lxw_error error) {
    if (error != LXW_NO_ERROR && error_ == LXW_NO_ERROR) error_ = error;
  }
  void Text(lxw_row_t row, std::size_t column, const std::string& text, lxw_format* format = nullptr) {
    if (!text.empty()) Check(worksheet_write_string(sheet_, row, Column(column), text.c_str(), format));
  }
  void Number(lxw_row_t row, std::size_t column, double value) {
    Check(worksheet_write_number(sheet_, row, Column(column), value, nullptr));
  }
  void Date(lxw_row_t row, std::size_t column, std::string_view text, const WorkbookFormats& formats) {
    if (const std::optional<ReportDate> date = ParseReportDate(text)) {
      lxw_datetime value{date->year, date->month, date->day, date->hour, date->minute, 0};
      Check(worksheet_write_datetime(sheet_, row, Column(column), &value, formats.date));
    } else {
      Text(row, column, Windows1252ToUtf8(text));
    }
  }
  lxw_worksheet* sheet() const { return sheet_; }
  lxw_error error() const { return error_; }

  // Columns are checked against the sheet's limit before any is written.
  static lxw_col_t Column(std::size_t column) { return static_cast<lxw_col_t>(column); }

 private:
  lxw_worksheet* sheet_;
  lxw_error error_ = LXW_NO_ERROR;
};

// The link of the report name in column B: a HYPERLINK formula, written out
// with its row. A link over the 255 characters Excel's HYPERLINK takes (it
// would show #VALUE!) leaves the name as plain text: a real hyperlink would
// take up to 2,079, but libxlsxwriter holds every one in memory until the
// sheet is closed (20,000 of them took the run from 10 to 94 MiB), and a
// sheet holds at most 65,530.
void WriteReportName(CheckedCells& cells, lxw_row_t row, const SpooledReport& report,
                     lxw_format* linkFormat) {
  if (!report.link.empty() && CharacterCount(report.link) <= kFormulaLinkCharacters) {
    const std::string formula = HyperlinkFormula(report.link, report.reportFile);
    if (!formula.empty() && worksheet_write_formula_str(cells.sheet(), row, 1, formula.c_str(), linkFormat,
                                                        report.reportFile.c_str()) == LXW_NO_ERROR) {
      return;
    }
  }
  cells.Text(row, 1, report.reportFile);
}

std::string Describe(lxw_error error) { return lxw_strerror(error); }

// The failure `error` of libxlsxwriter for `action` on `path`: in the
// system's words when the system caused it, from `errorNumber` (errno as the
// call left it), so that a full disk reads "No space left on device" and not
// zip's "ZIP_ERRNO"; in libxlsxwriter's words otherwise.
FileError LibraryError(const std::string& path, const std::string& action, lxw_error error, int errorNumber) {
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
  return FileError(path, action + ": " + Describe(error));
}

// libxlsxwriter prints numbers with the C library, which follows LC_NUMERIC;
// a workbook always holds them with a decimal point. Held while it writes.
class ClassicNumbers {
 public:
  ClassicNumbers() {
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    saved_ = current != nullptr ? current : "C";
    std::setlocale(LC_NUMERIC, "C");
  }
  ~ClassicNumbers() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
  ClassicNumbers(const ClassicNumbers&) = delete;
  ClassicNumbers& operator=(const ClassicNumbers&) = delete;

 private:
  std::string saved_;
};

std::string LocalTime() {
  // The program has one thread: localtime's shared result is safe here.
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char text[32] = "";
  if (local != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return text;
}

}  // namespace

SummaryWorkbook::SummaryWorkbook(WorkbookSettings settings, std::string workbookPath)
    : settings_(std::move(settings)),
      path_(std::move(workbookPath)),
      compare_(FiguresOrDefault(settings_.figures), settings_.thresholds) {
  settings_.figures = compare_.figures();
  spool_ = lxw_tmpfile(nullptr);
  if (spool_ == nullptr) throw SystemError(path_, "cannot make a temporary file for it", errno);
}

SummaryWorkbook::~SummaryWorkbook() {
  if (spool_ != nullptr) std::fclose(spool_);
}

void SummaryWorkbook::Add(const ReportRecord& record, const std::string& runFolder,
                          const std::string& reportFile, const std::string& reportPath) {
  if (failure_) return;
  try {
    if (!runFolder_ || *runFolder_ != runFolder) {
      runFolder_ = runFolder;
      // The mitigation SWAN wrote into the run folder, for the line under
      // its name in Compare.
      TakeRunFolder(runFolder);
      compare_.StartRunFolder(runFolder, details_.RunFolderMitigation());
    }
    Spool(record, NameInWorkbook(runFolder), NameInWorkbook(reportFile),
          NameInWorkbook(LinkTarget(settings_.directory, reportPath)), reportFile);
    compare_.Add(record, reportFile);
    ++reports_;
  } catch (const std::bad_alloc&) {
    failure_ = FileError(path_, "not written: not enough memory");
  }
}

void SummaryWorkbook::TakeRunFolder(const std::string& runFolder) {
  details_ = ReadRunFolderDetails(JoinPath(settings_.directory, runFolder));
  for (const RunFolderProblem& problem : details_.problems()) problems_.push_back(problem);
}

void SummaryWorkbook::Spool(const ReportRecord& record, const std::string& runFolder,
                            const std::string& reportFile, const std::string& link,
                            const std::string& originalReportFile) {
  SpoolWriter out(spool_);
  out.Text(runFolder);
  out.Text(reportFile);
  out.Text(link);
  out.Text(record.scenario);
  out.Count(record.substances.size());
  for (const SubstanceResult& substance : record.substances) {
    out.Text(record.Text(substance.name));
    for (std::size_t figure = 0; figure < kFigureCount; ++figure) out.Number(Figure(substance, figure));
    out.Text(record.Text(substance.waterMaxDate));
    out.Text(record.Text(substance.sedimentMaxDate));
  }
  out.Count(record.applicationDates.size());
  for (std::string_view date : record.applicationDates) out.Text(date);
  out.Text(record.version);
  out.Text(record.waterBodyType);
  out.Text(details_.Mitigation(originalReportFile));
  out.Text(details_.Crop(originalReportFile));
  out.Text(details_.Application(originalReportFile));
  out.Count(record.twaWindows.size());
  for (const TwaWindow& window : record.twaWindows) {
    out.Count(window.substance);
    out.Count(window.sediment ? 1 : 0);
    out.Count(window.days);
    out.Number(window.value);
  }
  columns_.Take(record);
  if (!out.ok()) failure_ = SystemError(path_, "not written: its temporary file cannot be written", errno);
}

std::optional<FileError> SummaryWorkbook::Write(const std::string& narrowPath, std::size_t rows,
                                                const std::function<bool()>& stop) {
  if (failure_) return failure_;
  if (rows > kMaxDataRows) {
    return FileError(path_, "not written: the table's " + std::to_string(rows) +
                                " rows are more than an Excel worksheet holds (1048575 under its header)");
  }
  if (const std::optional<std::string> problem = columns_.LimitProblem()) return FileError(path_, *problem);
  if (std::fflush(spool_) != 0 || std::ferror(spool_) != 0) {
    return SystemError(path_, "not written: its temporary file cannot be written", errno);
  }
  std::rewind(spool_);
  const ClassicNumbers classicNumbers;
  // libxlsxwriter prints its failures on standard error itself, with raw
  // paths and its own codes; they are reported here, in the program's words.
  const QuietStandardError quiet;

  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(narrowPath.c_str(), &options);
  if (book == nullptr) return FileError(path_, "cannot create: not enough memory or no temporary folder");
  const WorkbookFormats formats = MakeFormats(book);
  lxw_worksheet* summary = workbook_add_worksheet(book, "Summary");
  std::optional<FileError> failure = summary != nullptr ? WriteSummary(summary, formats, stop)
                                                        : FileError(path_, "not written: not enough memory");
  if (!failure) failure = compare_.Write(book, path_);
  if (!failure) {
    lxw_worksheet* about = workbook_add_worksheet(book, "About");
    failure = about != nullptr ? WriteAbout(about, formats, rows)
                               : FileError(path_, "not written: not enough memory");
  }
  if (failure) {
    workbook_close(book);
    return failure;
  }

  errno = 0;
  const lxw_error closed = workbook_close(book);
  const int closeErrorNumber = errno;
  if (closed != LXW_NO_ERROR) return LibraryError(path_, "cannot write", closed, closeErrorNumber);
  return std::nullopt;
}

// Summary: the table's columns with the units in the figures' heads, the
// other time-weighted average windows after the figures, the application
// dates under "AppDate", "AppDate 2", ..., the two derived columns, then what
// the run folder and the report say of the report.
std::optional<FileError> SummaryWorkbook::WriteSummary(lxw_worksheet* summary, const WorkbookFormats& formats,
                                                       const std::function<bool()>& stop) {
  const SummaryColumns& columns = columns_;
  const std::vector<std::string> header = columns.Header();
  const auto column = [](std::size_t n) { return CheckedCells::Column(n); };
  CheckedCells cells(summary);
  cells.Check(worksheet_set_column(summary, 0, 1, 18, nullptr));
  cells.Check(worksheet_set_column(summary, 2, 3, 14, nullptr));
  cells.Check(worksheet_set_column(summary, 4, column(SummaryColumns::kWaterDate - 1), 11, nullptr));
  cells.Check(worksheet_set_column(summary, column(SummaryColumns::kWaterDate),
                                   column(columns.WaterBody() - 1), 17, nullptr));
  cells.Check(
      worksheet_set_column(summary, column(columns.WaterBody()), column(columns.WaterBody()), 11, nullptr));
  cells.Check(
      worksheet_set_column(summary, column(columns.EntryRoute()), column(columns.EntryRoute()), 22, nullptr));
  if (columns.Mitigation() > columns.FirstWindow()) {
    cells.Check(worksheet_set_column(summary, column(columns.FirstWindow()), column(columns.Mitigation() - 1),
                                     14, nullptr));
  }
  cells.Check(worksheet_set_column(summary, column(columns.Mitigation()), column(columns.Application()), 30,
                                   nullptr));
  cells.Check(
      worksheet_set_column(summary, column(columns.Version()), column(columns.Version()), 20, nullptr));
  worksheet_freeze_panes(summary, 1, 0);
  for (std::size_t n = 0; n < header.size(); ++n) cells.Text(0, n, header[n], formats.header);
  // Heads whose reports disagree on the unit say which units they give.
  for (const bool sediment : {false, true}) {
    const std::string units = columns.UnitDisagreement(sediment);
    if (units.empty()) continue;
    const std::string note = "The reports give these figures in different units: " + units +
                             ". Each figure is in its own report's unit; none is converted.";
    for (std::size_t n = 0; n < header.size(); ++n) {
      if (header[n].ends_with(" (units differ)") &&
          (n < SummaryColumns::kFirstFigure + 6 ? (n >= SummaryColumns::kFirstFigure + 3) == sediment
                                                : header[n].starts_with("TWAsed ") == sediment)) {
        cells.Check(worksheet_write_comment(summary, 0, column(n), note.c_str()));
      }
    }
  }

  SpoolReader in(spool_);
  SpooledReport report;
  lxw_row_t row = 0;
  static const SpooledSubstance kNoSubstance{};
  for (std::size_t n = 0; n < reports_; ++n) {
    if (stop && stop()) return FileError(path_, "not written: stopped");
    if (!ReadReport(in, report))
      return SystemError(path_, "not written: its temporary file cannot be read", errno);
    const std::string scenario = Windows1252ToUtf8(report.scenario);
    const std::string waterBody = report.waterBodyType.empty() ? std::string(WaterBody(scenario))
                                                               : WaterBodyOfType(report.waterBodyType);
    const std::size_t lines = std::max<std::size_t>(report.substances.size(), 1);
    std::size_t window = 0;
    for (std::size_t line = 0; line < lines; ++line) {
      const SpooledSubstance& substance = report.substances.empty() ? kNoSubstance : report.substances[line];
      ++row;
      cells.Text(row, 0, report.runFolder);
      WriteReportName(cells, row, report, formats.link);
      cells.Text(row, 2, scenario);
      cells.Text(row, 3, Windows1252ToUtf8(substance.name));
      for (std::size_t figure = 0; figure < kFigureCount; ++figure) {
        cells.Number(row, SummaryColumns::kFirstFigure + figure, substance.figures[figure]);
      }
      for (; window < report.windows.size() && report.windows[window].substance <= line; ++window) {
        const TwaWindow& w = report.windows[window];
        const std::size_t at = columns.Window(w.sediment, w.days);
        if (w.substance == line && at != SummaryColumns::kNoColumn) cells.Number(row, at, w.value);
      }
      cells.Date(row, SummaryColumns::kWaterDate, substance.waterMaxDate, formats);
      cells.Date(row, SummaryColumns::kSedimentDate, substance.sedimentMaxDate, formats);
      if (line == 0) {
        std::size_t at = SummaryColumns::kFirstApplication;
        for (std::string_view date : report.applicationDates) cells.Date(row, at++, date, formats);
      }
      cells.Text(row, columns.WaterBody(), waterBody);
      cells.Text(row, columns.EntryRoute(),
                 std::string(EntryRoute(report.scenario, substance.waterMaxDate, report.applicationDates)));
      cells.Text(row, columns.Mitigation(), Windows1252ToUtf8(report.mitigation));
      cells.Text(row, columns.Crop(), Windows1252ToUtf8(report.crop));
      cells.Text(row, columns.Application(), Windows1252ToUtf8(report.application));
      cells.Text(row, columns.Version(), Windows1252ToUtf8(report.version));
    }
  }
  cells.Check(worksheet_autofilter(summary, 0, 0, row, column(columns.Count() - 1)));
  if (cells.error() != LXW_NO_ERROR) {
    return FileError(
        path_, "not written: a cell of the Summary sheet cannot be written: " + Describe(cells.error()));
  }
  return std::nullopt;
}

std::optional<FileError> SummaryWorkbook::WriteAbout(lxw_worksheet* sheet, const WorkbookFormats& formats,
                                                     std::size_t rows) const {
  std::optional<FileError> failure;
  lxw_row_t row = 0;
  const auto check = [&](lxw_error error) {
    if (error != LXW_NO_ERROR && !failure) {
      failure = FileError(
          path_, "not written: sheet About, row " + std::to_string(row + 1) + ": " + lxw_strerror(error));
    }
  };
  const auto text = [&](lxw_col_t column, const std::string& value, lxw_format* format) {
    if (!value.empty()) check(worksheet_write_string(sheet, row, column, value.c_str(), format));
  };
  check(worksheet_set_column(sheet, 0, 0, 24, nullptr));
  check(worksheet_set_column(sheet, 1, 1, 100, nullptr));
  check(worksheet_set_column(sheet, 2, 3, 14, nullptr));
  const std::pair<std::string, std::string> lines[] = {
      {"Directory", NameInWorkbook(settings_.directory)},
      {"Program", settings_.program},
      {"Written", LocalTime()},
      {"Reports", std::to_string(reports_)},
      {"Rows", std::to_string(rows)},
      {"Absolute directory", NameInWorkbook(settings_.absoluteDirectory)},
      {"Water body", kWaterBodyRule},
      {"Entry route (estimated)", kEntryRouteRule},
  };
  for (const auto& [label, value] : lines) {
    text(0, label, formats.header);
    if (label == "Reports" || label == "Rows") {
      check(worksheet_write_number(sheet, row, 1, static_cast<double>(label == "Reports" ? reports_ : rows),
                                   nullptr));
    } else {
      text(1, value, nullptr);
    }
    ++row;
  }
  // The files beside the reports that were not understood, one row each:
  // their cells stay empty, and the run does not fail over them.
  if (!problems_.empty()) ++row;
  for (const RunFolderProblem& problem : problems_) {
    if (failure || row + 1 >= LXW_ROW_MAX) break;
    text(0, "Not understood", formats.header);
    text(1, NameInWorkbook(Describe(problem)), nullptr);
    ++row;
  }
  // The thresholds as typed, then what each block of Compare was given.
  ++row;
  text(0, "Thresholds given", formats.header);
  if (settings_.thresholds.empty()) text(1, "none", nullptr);
  for (const Threshold& threshold : settings_.thresholds) {
    text(1, NameInWorkbook(threshold.given), nullptr);
    ++row;
  }
  if (!settings_.thresholds.empty()) --row;
  row += 2;
  text(0, "Compared", formats.header);
  text(1, "Substance", formats.header);
  text(2, "Figure", formats.header);
  text(3, "Threshold", formats.header);
  for (const std::string& substance : compare_.substances()) {
    for (std::size_t figure = 0; figure < settings_.figures.size() && !failure; ++figure) {
      if (row + 1 >= LXW_ROW_MAX) {
        ++row;
        text(1, "(more blocks than this sheet's rows hold: see the sheets Compare)", nullptr);
        return failure;
      }
      ++row;
      text(1, Windows1252ToUtf8(substance), nullptr);
      text(2, settings_.figures[figure].name, nullptr);
      if (const Threshold* threshold = compare_.ThresholdOf(substance, figure)) {
        check(worksheet_write_number(sheet, row, 3, threshold->value, nullptr));
      } else {
        text(3, "none", nullptr);
      }
    }
  }
  return failure;
}

}  // namespace quillmere
