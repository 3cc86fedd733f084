// What Form1 does, whatever draws it: it holds the drive and directory lists'
// state, decides what a drive change, opening a folder and Start do, and says
// which message box to show and how the program ends. The toolkits' windows
// draw it and forward their events here.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/window/directory_list_model.h"
#include "app/window/drive_list_model.h"
#include "app/window/form_layout.h"
#include "app/window/volumes.h"
#include "summary/summary_run.h"

namespace quillmere {

enum class MessageIcon {
  kWarning,      // something the user can mend in the window; the program goes on
  kStop,         // the run failed; the program ends after the box
  kInformation,  // the run is complete but has something to tell; the program ends after the box
};

// A modal message box with one OK button.
struct Message {
  MessageIcon icon = MessageIcon::kWarning;
  std::string title = kApplicationTitle;
  std::string text;  // plain text, never markup
  // Why, and what the table keeps, for a toolkit that can show more on
  // request: lines separated by LF; may be empty.
  std::string details;
  bool operator==(const Message&) const = default;
};

// How a press on Start ends.
struct RunEnd {
  std::optional<Message> message;  // shown before the program ends
  int exitStatus = 0;              // 0 after a complete table, 1 after a failure
};

struct WindowStart {
  // The drive list's volumes; the system's mounted volumes when not given.
  std::optional<std::vector<Volume>> volumes;
  // The directory open at start; the current directory when empty.
  std::string directory;
  FolderSource folders;
  // The decimal separator of the table's figures; the user's locale's when
  // not given.
  std::optional<std::string> decimalSeparator;
  // The run Start makes; SummaryRun when not given. Tests put a made-up
  // outcome here.
  std::function<SummaryOutcome(const std::string& directory, const SummaryOptions& options)> run;
};

class MainWindowModel {
 public:
  explicit MainWindowModel(WindowStart start = {});

  const DirectoryListModel& dir1() const { return dir1_; }
  const DriveListModel& drive1() const { return drive1_; }

  // Drive1_Change: the user chose the drive in `row`. Opens its root in Dir1;
  // a drive that cannot be read gives a box naming it and the previous drive
  // stays chosen (the view shows drive1().chosen() again).
  std::optional<Message> drive1Change(std::size_t row);

  // A double-click or Enter on Dir1's row `row`: opens that folder; one that
  // cannot be listed gives a box naming it and the list stays as it was.
  std::optional<Message> dir1Open(std::size_t row);

  // Command1_Click: runs the summary over Dir1's open directory. Every run
  // ends the program, after the returned box when there is one: the stop box
  // after a failure (for a report that cannot be read, its details give the
  // reason and what the table keeps), an information box after a complete
  // run that has a warning (no report found), none after any other.
  RunEnd command1Click() const;

 private:
  WindowStart start_;
  DirectoryListModel dir1_;
  DriveListModel drive1_;
};

// "<path>: <reason>" of `error`.
std::string DescribeFailure(const FileError& error);

}  // namespace quillmere
