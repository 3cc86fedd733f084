// Reading a text file of a run folder that says what it is near its top
// (SWAN's log, SWASH's project report): line by line, every failure named
// with its line, never throwing.
//
// One of the file's first ten lines holds its marker ("SWAN log file"); that
// line and those before it are passed over, every line after it goes to
// TakeLine in turn, and TakeEnd follows the last. The first line not
// understood ends the reading. A file that is empty, or whose first ten lines
// (all it has, when fewer) lack the marker, is not understood.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillmere {

class LineReader;

// Why a file gave nothing.
struct ReadingProblem {
  // What was wrong, with its line ("line 34: ..."), or the reason the file
  // could not be read.
  std::string problem;
  std::size_t problemLine = 0;  // 0 when the problem is not of one line
};

// True when the file at `path` is a plain file one of whose first ten lines
// holds `marker`. Never throws.
bool HasMarker(const std::string& path, std::string_view marker);

class MarkedFileReader {
 public:
  // `kind` names what the file must be ("a SWAN log") in the problem of one
  // without `marker`; both outlive the reader.
  MarkedFileReader(std::string_view kind, std::string_view marker) : kind_(kind), marker_(marker) {}
  virtual ~MarkedFileReader() = default;
  MarkedFileReader(const MarkedFileReader&) = delete;
  MarkedFileReader& operator=(const MarkedFileReader&) = delete;

 protected:
  // Reads the file at `path`, or `bytes`; true when every line was
  // understood, else TakeProblem() gives why. One reader reads once.
  bool ReadFile(const std::string& path);
  bool ReadBytes(std::string_view bytes);

  // One line after the marker's; false when it is not understood, once Fail
  // has said why.
  virtual bool TakeLine(std::string_view line) = 0;
  // After the last line; false when what was read is not understood as a
  // whole.
  virtual bool TakeEnd() { return true; }

  // Records `what` as the problem of the line in hand, or of `line`; false,
  // so that a caller can return it.
  bool Fail(std::string_view what) { return Fail(number_, what); }
  bool Fail(std::size_t line, std::string_view what);

  // The line in hand, from 1.
  std::size_t LineNumber() const { return number_; }
  // Reads no line after the one in hand; TakeEnd still follows.
  void Stop() { stopped_ = true; }

  ReadingProblem TakeProblem() { return std::move(problem_); }

 private:
  // Runs `work`; what it throws becomes the problem.
  template <class Work>
  bool Guarded(Work work);
  bool Read(LineReader& lines);

  std::string_view kind_;
  std::string_view marker_;
  ReadingProblem problem_;
  std::size_t number_ = 0;
  bool marked_ = false;
  bool stopped_ = false;
};

// A reader of a file that gives a `Result` (with the file's path in `path`)
// in the `slot` of a `Reading` (a ReadingProblem) once the whole file was
// understood, else only the problem.
template <class Reading, class Result>
class MarkedFileReaderOf : public MarkedFileReader {
 public:
  MarkedFileReaderOf(std::string_view kind, std::string_view marker, std::optional<Result> Reading::*slot)
      : MarkedFileReader(kind, marker), slot_(slot) {}

  Reading FromFile(const std::string& path) {
    result_.path = path;
    return Give(ReadFile(path));
  }
  // `path` is only recorded.
  Reading FromBytes(std::string_view bytes, const std::string& path) {
    result_.path = path;
    return Give(ReadBytes(bytes));
  }

 protected:
  Result& result() { return result_; }

 private:
  Reading Give(bool understood) {
    Reading reading;
    if (understood) {
      reading.*slot_ = std::move(result_);
    } else {
      static_cast<ReadingProblem&>(reading) = TakeProblem();
    }
    return reading;
  }

  std::optional<Result> Reading::*slot_;
  Result result_;
};

}  // namespace quillmere
