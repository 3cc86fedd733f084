// The Linux side of the drive list: the mount table as libmount reads it.
#include <libmount.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/window/volumes.h"

namespace quillmere {

namespace {

struct TableRelease {
  void operator()(libmnt_table* table) const { mnt_unref_table(table); }
};
struct IteratorRelease {
  void operator()(libmnt_iter* iterator) const { mnt_free_iter(iterator); }
};
struct StreamClose {
  void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Table = std::unique_ptr<libmnt_table, TableRelease>;

// A line the parser cannot read is skipped, not the end of the table.
int SkipBadLine(libmnt_table*, const char*, int) { return 1; }

Table NewTable() {
  Table table(mnt_new_table());
  if (table) mnt_table_set_parser_errcb(table.get(), SkipBadLine);
  return table;
}

std::string Text(const char* text) { return text != nullptr ? text : ""; }

// The lines of `table`, in its order; none when there is no table.
std::vector<MountedFileSystem> Lines(libmnt_table* table) {
  std::vector<MountedFileSystem> mounts;
  if (table == nullptr) return mounts;
  const std::unique_ptr<libmnt_iter, IteratorRelease> iterator(mnt_new_iter(MNT_ITER_FORWARD));
  if (!iterator) return mounts;
  libmnt_fs* fileSystem = nullptr;
  while (mnt_table_next_fs(table, iterator.get(), &fileSystem) == 0) {
    const dev_t device = mnt_fs_get_devno(fileSystem);
    mounts.push_back(MountedFileSystem{Text(mnt_fs_get_target(fileSystem)), Text(mnt_fs_get_source(fileSystem)),
                                       Text(mnt_fs_get_fstype(fileSystem)),
                                       std::to_string(major(device)) + ":" + std::to_string(minor(device)),
                                       Text(mnt_fs_get_root(fileSystem))});
  }
  return mounts;
}

}  // namespace

std::vector<Volume> VolumesFromMountInfo(std::string_view mountInfo,
                                         const std::map<std::string, std::string>& labels) {
  const Table table = NewTable();
  std::string text(mountInfo);
  if (table && !text.empty()) {
    const std::unique_ptr<std::FILE, StreamClose> stream(fmemopen(text.data(), text.size(), "r"));
    if (stream) mnt_table_parse_stream(table.get(), stream.get(), "mountinfo");
  }
  return VolumesFromMounts(Lines(table.get()), labels);
}

std::vector<Volume> MountedVolumes() {
  const Table table = NewTable();
  if (table) mnt_table_parse_file(table.get(), "/proc/self/mountinfo");
  return VolumesFromMounts(Lines(table.get()), VolumeLabels());
}

}  // namespace quillmere
