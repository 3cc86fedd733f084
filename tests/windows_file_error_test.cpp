// Windows error codes in the system's own words.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/file_error.h"

namespace quillmere {
namespace {

constexpr char kOpenElsewhere[] = "the file is open in another program; close it there and try again";

TEST(WindowsFileErrorTest, SaysWhatTheSystemSaysOnOneLineWithoutItsPeriod) {
  // Windows' English texts and Wine's, which are shorter.
  const struct {
    DWORD code;
    std::vector<std::string> texts;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, {"The system cannot find the file specified", "File not found"}},
      {ERROR_PATH_NOT_FOUND, {"The system cannot find the path specified", "Path not found"}},
      {ERROR_ACCESS_DENIED, {"Access is denied", "Access denied"}},
      {ERROR_BAD_NETPATH, {"The network path was not found", "Bad network path"}},
      {ERROR_DISK_FULL, {"There is not enough space on the disk", "Disk full"}},
  };
  const bool english = PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_ENGLISH;
  for (const auto& c : cases) {
    const FileError error = WindowsError("C:\\runs", "cannot list", c.code);
    EXPECT_EQ(error.path(), "C:\\runs");
    const std::string& reason = error.reason();
    ASSERT_TRUE(reason.starts_with("cannot list: ")) << reason;
    EXPECT_EQ(reason.find_first_of("\r\n"), std::string::npos) << reason;
    EXPECT_NE(reason.back(), '.') << reason;
    EXPECT_EQ(reason.find("system error"), std::string::npos) << reason;
    if (!english) continue;
    const std::string text = reason.substr(std::string("cannot list: ").size());
    EXPECT_TRUE(text == c.texts[0] || text == c.texts[1]) << c.code << ": " << text;
  }
}

TEST(WindowsFileErrorTest, AFileHeldByAnotherProgramSaysWhatToDo) {
  for (const DWORD code : {ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION}) {
    EXPECT_EQ(WindowsError("C:\\runs\\Summary.txt", "cannot create", code).reason(),
              std::string("cannot create: ") + kOpenElsewhere)
        << code;
  }
}

TEST(WindowsFileErrorTest, ACodeWithoutTextIsNamedByItsNumber) {
  // The customer bit: no system text has it.
  const DWORD code = 0x20000001;
  EXPECT_EQ(WindowsError("C:\\runs", "cannot read", code).reason(), "cannot read: system error 536870913");
}

}  // namespace
}  // namespace quillmere
