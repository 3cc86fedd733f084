#include "summary/marked_file_reader.h"

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

#include "runtime/file_error.h"
#include "runtime/line_reader.h"
#include "runtime/text.h"

namespace quillmere {

namespace {

constexpr std::size_t kMarkerLines = 10;

}  // namespace

bool HasMarker(const std::string& path, std::string_view marker) {
  try {
    LineReader lines(path);
    std::string_view line;
    for (std::size_t i = 0; i < kMarkerLines && lines.ReadLine(line); ++i) {
      if (Contains(line, marker)) return true;
    }
  } catch (const std::exception&) {
  }
  return false;
}

template <class Work>
bool MarkedFileReader::Guarded(Work work) {
  try {
    return work();
  } catch (const FileError& error) {
    problem_ = {error.reason(), 0};
  } catch (const std::exception& error) {
    problem_ = {DescribeUnexpected(error), 0};
  }
  return false;
}

bool MarkedFileReader::ReadFile(const std::string& path) {
  return Guarded([&] {
    LineReader lines(path);
    return Read(lines);
  });
}

bool MarkedFileReader::ReadBytes(std::string_view bytes) {
  return Guarded([&] {
    LineReader lines(bytes);
    return Read(lines);
  });
}

bool MarkedFileReader::Fail(std::size_t line, std::string_view what) {
  problem_ = {"line " + std::to_string(line) + ": " + std::string(what), line};
  return false;
}

bool MarkedFileReader::Read(LineReader& lines) {
  const auto unmarked = [this] {
    return Fail("not " + std::string(kind_) + ": no \"" + std::string(marker_) + "\" in its first lines");
  };
  std::string_view line;
  while (!stopped_ && lines.ReadLine(line)) {
    ++number_;
    if (marked_) {
      if (!TakeLine(line)) return false;
    } else if (Contains(line, marker_)) {
      marked_ = true;
    } else if (number_ >= kMarkerLines) {
      return unmarked();
    }
  }
  if (!marked_) {
    if (number_ == 0) {
      problem_ = {"the file is empty", 0};
      return false;
    }
    return unmarked();
  }
  return TakeEnd();
}

}  // namespace quillmere
