// What Form1 does, whatever draws it: it holds the drive and directory lists'
// state and Check1's, and makes every decision of the window (what a drive change, opening
// a folder, Start and closing do, which message box to show, how the program
// ends). The toolkits' windows implement MainWindowView: they draw what they
// are told and forward the user's events to the event procedures here.
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
  // Plain text, never markup. Its lines, as those of `details`, are parted
  // by kMessageLineBreak, the system's own, which every box shows as it is.
  std::string text;
  // Why, and what the table keeps, for a toolkit that can show more on
  // request; may be empty.
  std::string details;
  bool operator==(const Message&) const = default;
};

// What the window takes from its surroundings; the defaults are the real ones.
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
  // outcome here. With Check1 ticked, `options` hand every report to the
  // workbook: a run that reads reports passes them on to SummaryRun.
  std::function<SummaryOutcome(const std::string& directory, const SummaryOptions& options)> run;
};

// What a toolkit's Form1 does when told; it decides nothing.
class MainWindowView {
 public:
  // Fills Drive1 with `texts`, replacing what it listed.
  virtual void showDrives(const std::vector<std::string>& texts) = 0;
  // Shows Drive1's row `row` as chosen, none when it is past the end, without
  // signalling a change.
  virtual void chooseDrive(std::size_t row) = 0;
  // Fills Dir1 with `rows` and highlights row `highlighted`.
  virtual void showFolders(const std::vector<DirectoryEntry>& rows, std::size_t highlighted) = 0;
  // Shows Check1 ticked or not, without signalling a change.
  virtual void showCheck1(bool ticked) = 0;
  // Shows a modal box and returns once the user dismissed it.
  virtual void showMessage(const Message& message) = 0;
  // While busy, Start and Check1 are disabled and the wait cursor shows;
  // they stay disabled when the run is over, as the program is ending.
  // Told only when it changes: busy once, when Start is pressed, and not
  // busy once, when its run is over.
  virtual void setBusy(bool busy) = 0;
  // Ends the program with `status`.
  virtual void endProgram(int status) = 0;

 protected:
  ~MainWindowView() = default;
};

// Declares MainWindowView's functions in the class of a toolkit's Form1,
// which defines them: the one list of them besides the interface's, so that
// both toolkits' windows declare the same.
#define QUILLMERE_MAIN_WINDOW_VIEW_FUNCTIONS                                                   \
  void showDrives(const std::vector<std::string>& texts) override;                             \
  void chooseDrive(std::size_t row) override;                                                  \
  void showFolders(const std::vector<DirectoryEntry>& rows, std::size_t highlighted) override; \
  void showCheck1(bool ticked) override;                                                       \
  void showMessage(const Message& message) override;                                           \
  void setBusy(bool busy) override;                                                            \
  void endProgram(int status) override

class MainWindowPresenter {
 public:
  // Reads the drives and the start directory; nothing is shown before show().
  explicit MainWindowPresenter(MainWindowView& view, WindowStart start = {});

  // Form1_Load: fills Drive1 and Dir1 once the view's controls exist, and
  // shows Check1 unticked: nothing of an earlier session is kept.
  void form1Load();

  // Drive1_Change: the user chose the drive in `row`. Opens its root in Dir1;
  // a drive that cannot be read is named in a box and the previous drive is
  // shown chosen again.
  void drive1Change(std::size_t row);

  // A double-click or Enter on Dir1's row `row`: opens that folder; one that
  // cannot be listed is named in a box and the list stays as it was.
  void dir1Open(std::size_t row);

  // Check1_Click: the user ticked Check1 (`ticked`) or took its tick away.
  // Once Start was pressed it changes nothing.
  void check1Click(bool ticked);

  // Command1_Click: runs the summary over Dir1's open directory, and with
  // Check1 ticked writes Summary.xlsx beside the table as
  // `quillmere-summary --workbook DIR` does. Every run ends the program,
  // after a box when there is one: the stop box after a failure (for a
  // report that cannot be read, its details give the reason and what the
  // table keeps; with the workbook, that it is left as it was), also after a
  // complete table whose workbook could not be written (naming the workbook
  // and the reason); an information box after a complete run that has a
  // warning (no report found); none after any other. The run holds the
  // window's thread, and a box's own event loop may deliver another press:
  // Start does nothing once pressed.
  void command1Click();

  // Form1_Unload: the user closes the window. Before Start that ends the
  // program without writing, and the window closes. Once Start was pressed
  // the close is refused (false): the window stays until its run ends the
  // program, so that the run's box has its window.
  bool form1Unload();

  const DirectoryListModel& dir1() const { return dir1_; }
  const DriveListModel& drive1() const { return drive1_; }
  bool check1() const { return check1_; }
  // Start's run holds the window.
  bool busy() const { return busy_; }

 private:
  void showMessage(const std::optional<FileError>& error);
  void setBusy(bool busy);

  MainWindowView& view_;
  WindowStart start_;
  DirectoryListModel dir1_;
  DriveListModel drive1_;
  bool check1_ = false;   // Check1 is ticked: Start writes the workbook too
  bool started_ = false;  // Start was pressed: its run ends the program
  bool busy_ = false;     // Start's run holds the window
  bool ended_ = false;    // the program's end was asked for
};

}  // namespace quillmere
