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

// The columns of the terminal on standard error (the width of a console's
// screen buffer on Windows); 0 when it is no terminal or does not say.
std::size_t StandardErrorWidth();

// Draws "N reports read, run folder I of M" on one line of `err`, redrawn in
// place, once the run has taken longer than kDelay; nothing at all when `err`
// is not a terminal, so that a log or a pipe never sees it. The line is cut
// to one column less than the terminal's width, asked at each redraw, so
// that it never wraps: a wrapped line would leave a new line at every
// redraw. Erase removes the line again, before the run's last message.
class ProgressLine {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  using Width = std::function<std::size_t()>;  // 0: not known

  static constexpr std::chrono::milliseconds kDelay{1000};
  static constexpr std::chrono::milliseconds kRedrawEvery{100};

  ProgressLine(std::ostream& err, bool terminal, Clock clock = std::chrono::steady_clock::now,
               Width width = StandardErrorWidth);

  void Show(const SummaryProgress& progress);
  void Erase();

 private:
  // The most a line may hold on the terminal now.
  std::size_t Limit() const;

  std::ostream& err_;
  bool terminal_;
  Clock clock_;
  Width width_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDrawn_;
  std::size_t drawnWidth_ = 0;  // 0: nothing on the line
};

}  // namespace quillmere
