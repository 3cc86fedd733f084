// The line that shows, on a terminal, how far a long run has come.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <iosfwd>

#include "summary/summary_run.h"

namespace quillmere {

// True when standard error is a terminal (a console on Windows), where a
// line redrawn in place is read by a person. One source per system
// (terminal_posix.cpp, terminal_windows.cpp).
bool StandardErrorIsTerminal();

// Draws "N reports read, run folder I of M" on one line of `err`, redrawn in
// place, once the run has taken longer than kDelay; nothing at all when `err`
// is not a terminal, so that a log or a pipe never sees it. Erase removes the
// line again, before the run's last message.
class ProgressLine {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  static constexpr std::chrono::milliseconds kDelay{1000};
  static constexpr std::chrono::milliseconds kRedrawEvery{100};

  ProgressLine(std::ostream& err, bool terminal, Clock clock = std::chrono::steady_clock::now);

  void Show(const SummaryProgress& progress);
  void Erase();

 private:
  std::ostream& err_;
  bool terminal_;
  Clock clock_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDrawn_;
  std::size_t drawnWidth_ = 0;  // 0: nothing on the line
};

}  // namespace quillmere
