#include "workbook/workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <clocale>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include "runtime/number.h"
#include "runtime/path.h"
#include "runtime/platform.h"
#include "runtime/quiet_standard_error.h"
#include "runtime/temporary_file.h"
#include "summary/run_folder_details.h"
#include "summary/summary_run.h"
#include "workbook/sheet_cells.h"
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
  explicit SpoolWriter(TemporaryFile& file) : file_(file) {}
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
    if (ok_ && size > 0 && !file_.Append(data, size)) ok_ = false;
  }
  TemporaryFile& file_;
  bool ok_ = true;
};

// Reads the spool on from `offset`.
class SpoolReader {
 public:
  explicit SpoolReader(TemporaryFile& file, std::uint64_t offset = 0) : file_(file), offset_(offset) {}
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
  // Where the next read begins.
  std::uint64_t offset() const { return offset_; }

 private:
  void Bytes(void* data, std::size_t size) {
    if (!ok_ || size == 0) return;
    if (file_.ReadAt(offset_, data, size)) {
      offset_ += size;
    } else {
      ok_ = false;
    }
  }
  TemporaryFile& file_;
  std::uint64_t offset_;
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

namespace {

// A date of a report: a date-time cell, or the text read when it is not a
// valid date; an empty text leaves the cell empty.
void WriteDate(SheetCells& cells, std::size_t row, std::size_t column, std::string_view text,
               const WorkbookFormats& formats) {
  if (const std::optional<ReportDate> date = ParseReportDate(text)) {
    lxw_datetime value{date->year, date->month, date->day, date->hour, date->minute, 0};
    cells.Check(worksheet_write_datetime(cells.sheet(), SheetCells::Row(row), SheetCells::Column(column),
                                         &value, formats.date),
                row, column);
  } else {
    cells.Text(row, column, Windows1252ToUtf8(text));
  }
}

// The link of the report name in column B: a HYPERLINK formula, written out
// with its row. A link over the 255 characters Excel's HYPERLINK takes (it
// would show #VALUE!) leaves the name as plain text: a real hyperlink would
// take up to 2,079, but libxlsxwriter holds every one in memory until the
// sheet is closed (20,000 of them took the run from 10 to 94 MiB), and a
// sheet holds at most 65,530.
void WriteReportName(SheetCells& cells, lxw_row_t row, const SpooledReport& report, lxw_format* linkFormat) {
  if (!report.link.empty() && CharacterCount(report.link) <= kFormulaLinkCharacters) {
    const std::string formula = HyperlinkFormula(report.link, report.reportFile);
    if (!formula.empty() && worksheet_write_formula_str(cells.sheet(), row, 1, formula.c_str(), linkFormat,
                                                        report.reportFile.c_str()) == LXW_NO_ERROR) {
      return;
    }
  }
  cells.Text(row, 1, report.reportFile);
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
  // Only this thread runs by now: localtime's shared result is safe here.
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char text[32] = "";
  if (local != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return text;
}

}  // namespace

namespace {

// Summary: the table's columns with the units in the figures' heads, the
// other time-weighted average windows after the figures, the application
// dates under "AppDate", "AppDate 2", ..., the two derived columns, then what
// the run folder and the report say of the report. The widths and the heads.
void WriteSummaryHead(SheetCells& cells, const SummaryColumns& columns, const WorkbookFormats& formats) {
  lxw_worksheet* summary = cells.sheet();
  const std::vector<std::string> header = columns.Header();
  cells.Width(0, 1, 18);
  cells.Width(2, 3, 14);
  cells.Width(4, SummaryColumns::kWaterDate - 1, 11);
  cells.Width(SummaryColumns::kWaterDate, columns.WaterBody() - 1, 17);
  cells.Width(columns.WaterBody(), columns.WaterBody(), 11);
  cells.Width(columns.EntryRoute(), columns.EntryRoute(), 22);
  if (columns.Mitigation() > columns.FirstWindow())
    cells.Width(columns.FirstWindow(), columns.Mitigation() - 1, 14);
  cells.Width(columns.Mitigation(), columns.Application(), 30);
  cells.Width(columns.Version(), columns.Version(), 20);
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
        cells.Comment(0, n, note);
      }
    }
  }
}

// The rows of one report, one per substance (one for a report without
// any), under `row`, which is left at the last of them.
void WriteSummaryRows(SheetCells& cells, lxw_row_t& row, const SpooledReport& report,
                      const SummaryColumns& columns, const WorkbookFormats& formats) {
  static const SpooledSubstance kNoSubstance{};
  const std::string scenario = Windows1252ToUtf8(report.scenario);
  const std::string waterBody =
      report.waterBodyType.empty() ? std::string(WaterBody(scenario)) : WaterBodyOfType(report.waterBodyType);
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
    WriteDate(cells, row, SummaryColumns::kWaterDate, substance.waterMaxDate, formats);
    WriteDate(cells, row, SummaryColumns::kSedimentDate, substance.sedimentMaxDate, formats);
    if (line == 0) {
      std::size_t at = SummaryColumns::kFirstApplication;
      for (std::string_view date : report.applicationDates) WriteDate(cells, row, at++, date, formats);
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

// The last steps of the Summary sheet once every row is in.
std::optional<FileError> FinishSummary(SheetCells& cells, lxw_row_t lastRow, const SummaryColumns& columns,
                                       const std::string& path) {
  cells.Check(worksheet_autofilter(cells.sheet(), 0, 0, lastRow, SheetCells::Column(columns.Count() - 1)), 0,
              0);
  return cells.Failure(path);
}

// Whether the run asks the writing to stop.
bool Asked(const std::function<bool()>& stop) { return stop && stop(); }

// How many reports the second thread reads back at a time, at the least.
constexpr std::size_t kBatch = 16;
// And at the most, so that memory does not grow with the reports.
constexpr std::size_t kMostRead = 64;

}  // namespace

// How often the rows written beside the run start again for columns that
// grew; after that they wait for the end of the run.
constexpr int kEarlyStarts = 8;

// The temporary file of the rows, shared by the run, which adds each report
// to its end, and the second thread, which reads them back in batches.
struct SummaryWorkbook::SharedSpool {
  explicit SharedSpool(const std::string& path) : file(path) {}
  TemporaryFile file;
  std::mutex mutex;
  std::condition_variable added;  // reports were added, or the run is complete
  std::size_t reports = 0;        // the reports in the file
  std::size_t wakeAt = 0;         // how many the thread waits for
  bool complete = false;          // every report of the run is in
};

// The Summary sheet's rows, written by a second thread while the run reads
// on, in the columns every report taken so far gives (`columns`), from the
// first report in the temporary file on. Only that thread touches `book`
// until it has ended; it ends when the run says every report is in (Finish)
// or when the work is dropped.
struct SummaryWorkbook::EarlySummary {
  EarlySummary(const SummaryColumns& now, SharedSpool& shared) : columns(now), spool(shared) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    // The file is named when the workbook is written (Write): libxlsxwriter
    // opens it only then.
    book = workbook_new_opt("Summary.xlsx", &options);
    if (book == nullptr) throw std::bad_alloc();
    try {
      formats = MakeFormats(book);
      lxw_worksheet* sheet = workbook_add_worksheet(book, "Summary");
      if (sheet == nullptr) throw std::bad_alloc();
      cells = SheetCells(sheet, "Summary");
      WriteSummaryHead(cells, columns, formats);
      worker = std::thread([this] { Work(); });
    } catch (...) {
      lxw_workbook_free(book);
      throw;
    }
  }
  ~EarlySummary() {
    Drop();
    if (worker.joinable()) worker.join();
    if (book != nullptr) lxw_workbook_free(book);
  }
  EarlySummary(const EarlySummary&) = delete;
  EarlySummary& operator=(const EarlySummary&) = delete;

  void Drop() {
    const std::lock_guard lock(spool.mutex);
    dropped = true;
    spool.added.notify_one();
  }

  // Waits for the thread to write every report in the file; true when
  // their rows are in the sheet, in `finalColumns`.
  bool Finish(const SummaryColumns& finalColumns) {
    {
      const std::lock_guard lock(spool.mutex);
      spool.complete = true;
      spool.added.notify_one();
    }
    if (worker.joinable()) worker.join();
    return !dropped && finalColumns == columns && cells.ok();
  }

  void Work() {
    try {
      std::vector<SpooledReport> batch;
      std::size_t read = 0;      // reports read back
      std::uint64_t offset = 0;  // where the next one begins
      for (;;) {
        std::size_t count = 0;
        {
          std::unique_lock lock(spool.mutex);
          spool.wakeAt = read + kBatch;
          spool.added.wait(lock, [&] { return spool.reports >= spool.wakeAt || spool.complete || dropped; });
          if (dropped || spool.reports == read) return;
          // The thread is woken for a batch, not for each report: a wake
          // costs the run more than a report's rows cost the thread.
          SpoolReader in(spool.file, offset);
          for (; read < spool.reports && count < kMostRead; ++read, ++count) {
            if (count == batch.size()) batch.emplace_back();
            if (!ReadReport(in, batch[count])) return DropUnlocked();
          }
          offset = in.offset();
        }
        for (std::size_t n = 0; n < count; ++n) {
          if (dropped) return;
          WriteSummaryRows(cells, row, batch[n], columns, formats);
          if (!cells.ok() || row > kMaxDataRows) return Drop();
        }
      }
    } catch (...) {
      Drop();
    }
  }
  void DropUnlocked() { dropped = true; }

  // Numbers go into the sheet as the thread writes them, so the C
  // library's numbers follow the classic form for the thread's whole life.
  ClassicNumbers classicNumbers;
  const SummaryColumns columns;
  SharedSpool& spool;
  lxw_workbook* book = nullptr;
  WorkbookFormats formats{};
  SheetCells cells;
  lxw_row_t row = 0;  // the last row written
  std::atomic<bool> dropped = false;
  std::thread worker;
};

void SummaryWorkbook::StartEarlySummary() {
  // The first report, or columns that grew: the rows start again, in the
  // new columns, from the first report in the temporary file. A thread that
  // gave up (a cell it could not write) is not started again: the end of
  // the run meets the same cell.
  if ((early_ && early_->dropped) || earlyStarts_ == kEarlyStarts) return;
  early_.reset();
  ++earlyStarts_;
  try {
    early_ = std::make_unique<EarlySummary>(columns_, *spool_);
  } catch (...) {
    // No second thread, no memory for it: the rows are written at the end.
    early_.reset();
  }
}

SummaryWorkbook::SummaryWorkbook(WorkbookSettings settings, std::string workbookPath)
    : settings_(std::move(settings)),
      path_(std::move(workbookPath)),
      compare_(FiguresOrDefault(settings_.figures), settings_.thresholds) {
  settings_.figures = compare_.figures();
  spool_ = std::make_unique<SharedSpool>(path_);
}

SummaryWorkbook::~SummaryWorkbook() {
  early_.reset();  // its thread may be reading the temporary file
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
    failure_ = NotWritten("not enough memory");
  }
}

void SummaryWorkbook::TakeRunFolder(const std::string& runFolder) {
  details_ = ReadRunFolderDetails(JoinPath(settings_.directory, runFolder));
  for (const RunFolderProblem& problem : details_.problems()) problems_.push_back(problem);
}

void SummaryWorkbook::Spool(const ReportRecord& record, const std::string& runFolder,
                            const std::string& reportFile, const std::string& link,
                            const std::string& originalReportFile) {
  SpoolWriter out(spool_->file);
  {
    const std::lock_guard lock(spool_->mutex);
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
    // The thread reads through the same file, which hands the system what
    // is still in its buffer before it reads.
    if (out.ok() && ++spool_->reports >= spool_->wakeAt) spool_->added.notify_one();
  }
  columns_.Take(record);
  if (!out.ok()) {
    failure_ = SpoolFailure("written");
    early_.reset();
    return;
  }
  if (!early_ || !(early_->columns == columns_)) StartEarlySummary();
}

std::optional<FileError> SummaryWorkbook::Write(const std::string& narrowPath, std::size_t rows,
                                                const std::function<bool()>& stop) {
  // The second thread ends first, whatever follows. What it wrote is kept
  // when it holds every report in the columns they all give.
  // Freed unwritten when the work ends before the close, memory running out
  // included.
  std::unique_ptr<lxw_workbook, decltype(&lxw_workbook_free)> book(nullptr, &lxw_workbook_free);
  WorkbookFormats formats{};
  std::optional<SheetCells> earlyCells;
  lxw_row_t earlyRow = 0;
  if (early_ && early_->Finish(columns_)) {
    book.reset(std::exchange(early_->book, nullptr));
    formats = early_->formats;
    earlyCells = early_->cells;
    earlyRow = early_->row;
  }
  early_.reset();

  if (failure_) return failure_;
  if (rows > kMaxDataRows) {
    return NotWritten("the table's " + std::to_string(rows) +
                      " rows are more than an Excel worksheet holds (1048575 under its header)");
  }
  if (const std::optional<std::string> problem = columns_.LimitProblem()) return FileError(path_, *problem);
  if (!spool_->file.Flush()) return SpoolFailure("written");
  const ClassicNumbers classicNumbers;
  // libxlsxwriter prints its failures on standard error itself, with raw
  // paths and its own codes; they are reported here, in the program's words.
  const QuietStandardError quiet;

  std::optional<FileError> failure;
  if (book != nullptr) {
    // libxlsxwriter opens the file it was given a name for only when the
    // workbook is closed: the name is given now.
    char* name = lxw_strdup(narrowPath.c_str());
    if (name == nullptr) return NotWritten("not enough memory");
    std::free(book->filename);
    book->filename = name;
    failure = Asked(stop) ? NotWritten("stopped") : FinishSummary(*earlyCells, earlyRow, columns_, path_);
  } else {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    book.reset(workbook_new_opt(narrowPath.c_str(), &options));
    if (book == nullptr) return FileError(path_, "cannot create: not enough memory or no temporary folder");
    formats = MakeFormats(book.get());
    lxw_worksheet* summary = workbook_add_worksheet(book.get(), "Summary");
    failure = summary != nullptr ? WriteSummary(summary, formats, stop) : NotWritten("not enough memory");
  }
  if (!failure) failure = compare_.Write(book.get(), formats, path_);
  if (!failure) {
    lxw_worksheet* about = workbook_add_worksheet(book.get(), "About");
    failure = about != nullptr ? WriteAbout(about, formats, rows) : NotWritten("not enough memory");
  }
  if (failure) {
    workbook_close(book.release());
    return failure;
  }

  errno = 0;
  const lxw_error closed = workbook_close(book.release());
  const int closeErrorNumber = errno;
  if (closed != LXW_NO_ERROR) return LibraryFailure(path_, "cannot write", closed, closeErrorNumber);
  return std::nullopt;
}

FileError SummaryWorkbook::NotWritten(const std::string& why) const {
  return FileError(path_, "not written: " + why);
}

FileError SummaryWorkbook::SpoolFailure(const char* what) const {
  return spool_->file.Failure(path_, std::string("not written: its temporary file cannot be ") + what);
}

std::optional<FileError> SummaryWorkbook::WriteSummary(lxw_worksheet* summary, const WorkbookFormats& formats,
                                                       const std::function<bool()>& stop) {
  SheetCells cells(summary, "Summary");
  WriteSummaryHead(cells, columns_, formats);
  SpoolReader in(spool_->file);
  SpooledReport report;
  lxw_row_t row = 0;
  for (std::size_t n = 0; n < reports_; ++n) {
    if (Asked(stop)) return NotWritten("stopped");
    if (!ReadReport(in, report)) return SpoolFailure("read");
    WriteSummaryRows(cells, row, report, columns_, formats);
  }
  return FinishSummary(cells, row, columns_, path_);
}

std::optional<FileError> SummaryWorkbook::WriteAbout(lxw_worksheet* sheet, const WorkbookFormats& formats,
                                                     std::size_t rows) const {
  SheetCells cells(sheet, "About");
  std::size_t row = 0;
  const auto text = [&](std::size_t column, const std::string& value, lxw_format* format) {
    cells.Text(row, column, value, format);
  };
  cells.Width(0, 0, 24);
  cells.Width(1, 1, 100);
  cells.Width(2, 3, 14);
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
      cells.Number(row, 1, static_cast<double>(label == "Reports" ? reports_ : rows));
    } else {
      text(1, value, nullptr);
    }
    ++row;
  }
  // The files beside the reports that were not understood, one row each:
  // their cells stay empty, and the run does not fail over them.
  if (!problems_.empty()) ++row;
  for (const RunFolderProblem& problem : problems_) {
    if (!cells.ok() || row + 1 >= LXW_ROW_MAX) break;
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
    for (std::size_t figure = 0; figure < settings_.figures.size() && cells.ok(); ++figure) {
      if (row + 1 >= LXW_ROW_MAX) {
        ++row;
        text(1, "(more blocks than this sheet's rows hold: see the sheets Compare)", nullptr);
        return cells.Failure(path_);
      }
      ++row;
      text(1, Windows1252ToUtf8(substance), nullptr);
      text(2, settings_.figures[figure].name, nullptr);
      if (const Threshold* threshold = compare_.ThresholdOf(substance, figure)) {
        cells.Number(row, 3, threshold->value);
      } else {
        text(3, "none", nullptr);
      }
    }
  }
  return cells.Failure(path_);
}

}  // namespace quillmere
