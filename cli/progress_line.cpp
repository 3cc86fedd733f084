#include "cli/progress_line.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>

#include "cli/arguments.h"
#include "runtime/text.h"

namespace quillmere {

ProgressLine::ProgressLine(std::ostream& err, bool terminal, Clock clock, Width width)
    : err_(err), terminal_(terminal), clock_(std::move(clock)), width_(std::move(width)), start_(clock_()) {}

std::size_t ProgressLine::Limit() const {
  const std::size_t columns = width_ ? width_() : 0;
  // The last column is left free: some terminals (a Windows console among
  // them) move to the next line as soon as it is written.
  return columns == 0 ? std::string::npos : columns - 1;
}

void ProgressLine::Show(const SummaryProgress& progress) {
  if (!terminal_) return;
  const auto now = clock_();
  if (now - start_ < kDelay) return;
  if (drawnWidth_ > 0 && now - lastDrawn_ < kRedrawEvery) return;
  lastDrawn_ = now;
  std::string text = std::string(kProgram) + ": " + Counted(progress.reports, "report") +
                     " read, run folder " + std::to_string(progress.runFoldersDone) + " of " +
                     std::to_string(progress.runFolders);
  const std::size_t limit = Limit();
  if (text.size() > limit) text.resize(limit);
  const std::size_t width = text.size();
  // Spaces cover what a longer line drawn before leaves; the cursor stays at
  // the line's start, so any message after it overwrites it.
  if (drawnWidth_ > width) text.append(std::min(drawnWidth_, limit) - width, ' ');
  err_ << '\r' << text << '\r' << std::flush;
  drawnWidth_ = width > drawnWidth_ ? width : drawnWidth_;
}

void ProgressLine::Erase() {
  if (drawnWidth_ == 0) return;
  err_ << '\r' << std::string(std::min(drawnWidth_, Limit()), ' ') << '\r' << std::flush;
  drawnWidth_ = 0;
}

}  // namespace quillmere
