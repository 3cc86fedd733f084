// A library to load with LD_PRELOAD that makes chosen system calls and
// allocations fail, so that tests reach the error paths a healthy machine
// never takes, whoever runs them (root included).
//
// QUILLMERE_FAULTS holds rules separated by ';', each made of fields
// separated by spaces:
//
//   CALL WHEN RESULT [ON]
//
//   CALL    write, read, open, close, fstat, ftruncate, fsync, rename,
//           opendir, readdir or malloc.
//           open covers open, open64, openat and openat64; opendir covers
//           opendir and fdopendir; malloc covers malloc, calloc, realloc and
//           operator new (which then throws std::bad_alloc); rename covers
//           rename and renameat, and its path is the new name.
//   WHEN    N   the Nth matching call only (counted from 1);
//           N+  the Nth matching call and every later one.
//           For malloc, N may end in B: the allocation that brings the bytes
//           asked for (since the rule was armed) past N, or with + that one
//           and every later one.
//   RESULT  an error number's name (ENOSPC, EIO, EINTR, EACCES, ENOMEM,
//           EMFILE, ENFILE, ENOTDIR, EBADF, EDQUOT, EFBIG, EPERM, ENOENT,
//           ELOOP, EOVERFLOW, EROFS): the call does nothing and fails with
//           it. close closes the descriptor anyway, as Linux does; readdir
//           fails by returning no entry with errno set, and counts only
//           the calls that would hand out an entry other than "." and "..".
//           0      write and read return 0 without doing anything.
//           short  write and read move half the bytes asked for (at least 1).
//   ON      for file calls: text that the file's path must contain (for a
//           call on a descriptor the path behind it, as /proc/self/fd shows
//           it; for readdir the folder's). Without it every call counts.
//           for malloc: ">=SIZE" counts only allocations of at least SIZE
//           bytes, "=SIZE" only those of exactly SIZE bytes; text (after it,
//           or alone) arms the rule once a file or folder whose path
//           contains the text has been opened.
//
// When QUILLMERE_FAULTS_LOG names a file, every fault met adds a line
// "CALL COUNT" to it, so that a test can tell a fault that was met from one
// the program never came to.
//
// Examples: "write 2 ENOSPC Summary.txt" fails the second write to the
// table; "readdir 2 EIO toxswa" fails a report folder's listing after its
// first entry; "malloc 1+ ENOMEM >=100000 b.sum" refuses every large
// block once b.sum has been opened.
//
// The library counts what the one thread of the program under test does,
// and allocates nothing itself. No rule applies before the library has read
// them at load time, nor once the program's exit handlers run.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

enum class Call {
  kWrite,
  kRead,
  kOpen,
  kClose,
  kFstat,
  kFtruncate,
  kFsync,
  kRename,
  kOpendir,
  kReaddir,
  kMalloc
};

enum class Outcome { kError, kZero, kShort };

struct Rule {
  Call call = Call::kWrite;
  unsigned long long first = 1;  // which matching call (or byte count) fails first
  bool onward = false;           // every later one fails too
  bool inBytes = false;          // malloc: `first` counts bytes, not calls
  Outcome outcome = Outcome::kError;
  int errorNumber = 0;
  char on[256] = {};            // path text, or arming text for malloc
  std::size_t minimumSize = 0;  // malloc: only blocks at least this large
  std::size_t exactSize = 0;    // malloc: only blocks of this size, when not 0
  bool armed = true;
  unsigned long long seen = 0;  // matching calls, or bytes asked for, so far
};

constexpr int kMaxRules = 8;
Rule rules[kMaxRules];
int ruleCount = 0;
bool parsed = false;
int logFd = -1;  // QUILLMERE_FAULTS_LOG, opened with the system call itself

constexpr const char* kCallNames[] = {"write", "read",   "open",    "close",   "fstat", "ftruncate",
                                      "fsync", "rename", "opendir", "readdir", "malloc"};

struct ErrorName {
  const char* name;
  int number;
};

constexpr ErrorName kErrorNames[] = {
    {"ENOSPC", ENOSPC}, {"EIO", EIO},       {"EINTR", EINTR},         {"EACCES", EACCES},
    {"ENOMEM", ENOMEM}, {"EMFILE", EMFILE}, {"ENFILE", ENFILE},       {"ENOTDIR", ENOTDIR},
    {"EBADF", EBADF},   {"EDQUOT", EDQUOT}, {"EFBIG", EFBIG},         {"EPERM", EPERM},
    {"ENOENT", ENOENT}, {"ELOOP", ELOOP},   {"EOVERFLOW", EOVERFLOW}, {"EROFS", EROFS},
};

// Prints why QUILLMERE_FAULTS cannot be used and stops the program, so that
// a mistyped rule never passes for a fault that was not met.
[[noreturn]] void Refuse(const char* what, const char* text, std::size_t length) {
  static const char prefix[] = "system_faults: ";
  (void)!::write(2, prefix, sizeof prefix - 1);
  (void)!::write(2, what, std::strlen(what));
  (void)!::write(2, ": ", 2);
  (void)!::write(2, text, length);
  (void)!::write(2, "\n", 1);
  ::_exit(125);
}

bool Is(const char* text, std::size_t length, const char* word) {
  return std::strlen(word) == length && std::strncmp(text, word, length) == 0;
}

bool ParseCall(const char* text, std::size_t length, Call& call) {
  struct Named {
    const char* name;
    Call call;
  };
  static constexpr Named kCalls[] = {
      {"write", Call::kWrite},     {"read", Call::kRead},     {"open", Call::kOpen},
      {"close", Call::kClose},     {"fstat", Call::kFstat},   {"ftruncate", Call::kFtruncate},
      {"fsync", Call::kFsync},     {"rename", Call::kRename}, {"opendir", Call::kOpendir},
      {"readdir", Call::kReaddir}, {"malloc", Call::kMalloc},
  };
  for (const Named& named : kCalls) {
    if (Is(text, length, named.name)) {
      call = named.call;
      return true;
    }
  }
  return false;
}

bool ParseNumber(const char* text, std::size_t length, unsigned long long& number) {
  if (length == 0) return false;
  number = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    number = number * 10 + static_cast<unsigned long long>(text[i] - '0');
  }
  return true;
}

bool ParseWhen(const char* text, std::size_t length, Rule& rule) {
  if (length > 0 && text[length - 1] == '+') {
    rule.onward = true;
    --length;
  }
  if (length > 0 && text[length - 1] == 'B') {
    if (rule.call != Call::kMalloc) return false;
    rule.inBytes = true;
    --length;
  }
  return ParseNumber(text, length, rule.first) && (rule.first > 0 || rule.inBytes);
}

bool ParseOutcome(const char* text, std::size_t length, Rule& rule) {
  if (Is(text, length, "0")) {
    rule.outcome = Outcome::kZero;
    return rule.call == Call::kWrite || rule.call == Call::kRead;
  }
  if (Is(text, length, "short")) {
    rule.outcome = Outcome::kShort;
    return rule.call == Call::kWrite || rule.call == Call::kRead;
  }
  for (const ErrorName& error : kErrorNames) {
    if (Is(text, length, error.name)) {
      rule.errorNumber = error.number;
      return true;
    }
  }
  return false;
}

void ParseOn(const char* text, std::size_t length, Rule& rule) {
  const bool atLeast = length > 2 && text[0] == '>' && text[1] == '=';
  if (rule.call == Call::kMalloc && (atLeast || (length > 1 && text[0] == '='))) {
    const std::size_t start = atLeast ? 2 : 1;
    std::size_t end = start;
    while (end < length && text[end] != ' ') ++end;
    unsigned long long size = 0;
    if (!ParseNumber(text + start, end - start, size)) Refuse("bad size", text, length);
    (atLeast ? rule.minimumSize : rule.exactSize) = static_cast<std::size_t>(size);
    while (end < length && text[end] == ' ') ++end;
    text += end;
    length -= end;
    if (length == 0) return;
  }
  if (length >= sizeof rule.on) Refuse("text too long", text, length);
  std::memcpy(rule.on, text, length);
  rule.on[length] = '\0';
  if (rule.call == Call::kMalloc) rule.armed = false;
}

void ParseRule(const char* text, std::size_t length) {
  const char* fields[4];
  std::size_t lengths[4];
  int count = 0;
  std::size_t at = 0;
  while (at < length) {
    while (at < length && text[at] == ' ') ++at;
    if (at == length) break;
    const std::size_t start = at;
    // The last field (a path text) may hold spaces.
    if (count == 3) {
      at = length;
      while (at > start && text[at - 1] == ' ') --at;
    } else {
      while (at < length && text[at] != ' ') ++at;
    }
    fields[count] = text + start;
    lengths[count] = at - start;
    ++count;
    if (count == 4) break;
  }
  if (count == 0) return;
  if (count < 3) Refuse("a rule needs CALL WHEN RESULT", text, length);
  if (ruleCount == kMaxRules) Refuse("too many rules", text, length);
  Rule& rule = rules[ruleCount];
  rule = Rule{};
  if (!ParseCall(fields[0], lengths[0], rule.call)) Refuse("unknown call", fields[0], lengths[0]);
  if (!ParseWhen(fields[1], lengths[1], rule)) Refuse("bad count", fields[1], lengths[1]);
  if (!ParseOutcome(fields[2], lengths[2], rule)) Refuse("unknown result", fields[2], lengths[2]);
  if (count == 4) ParseOn(fields[3], lengths[3], rule);
  ++ruleCount;
}

void ParseRules() {
  if (parsed) return;
  parsed = true;
  if (const char* log = std::getenv("QUILLMERE_FAULTS_LOG")) {
    logFd = static_cast<int>(
        ::syscall(SYS_openat, AT_FDCWD, log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
  }
  const char* text = std::getenv("QUILLMERE_FAULTS");
  if (text == nullptr) return;
  while (*text != '\0') {
    const char* end = std::strchr(text, ';');
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(end - text) : std::strlen(text);
    ParseRule(text, length);
    text += length;
    if (*text == ';') ++text;
  }
}

// Before this runs (while the loader and a sanitizer's runtime start up) no
// rule applies: the environment may not be readable yet.
__attribute__((constructor)) void ParseRulesAtLoad() { ParseRules(); }

// Once the program's exit handlers run, no rule applies: what runs at exit
// (the coverage counts being written) is not under test. The handler is
// registered at the first file the program opens, after the start of main:
// one registered before would run only after the last of those.
void StopAtExit() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  std::atexit([] { ruleCount = 0; });
}

bool HasRuleFor(Call call) {
  for (int i = 0; i < ruleCount; ++i) {
    if (rules[i].call == call) return true;
  }
  return false;
}

// The path behind descriptor `fd`, or "" when it has none.
void PathOfDescriptor(int fd, char (&path)[4096]) {
  char link[64];
  const char prefix[] = "/proc/self/fd/";
  std::memcpy(link, prefix, sizeof prefix);
  char digits[24];
  int count = 0;
  unsigned value = fd < 0 ? 0u : static_cast<unsigned>(fd);
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::size_t at = sizeof prefix - 1;
  while (count > 0) link[at++] = digits[--count];
  link[at] = '\0';
  const int savedErrno = errno;
  const ssize_t length = ::readlink(link, path, sizeof path - 1);
  errno = savedErrno;
  path[length > 0 ? static_cast<std::size_t>(length) : 0] = '\0';
}

// Adds "CALL COUNT" to the log for a fault met.
void Log(const Rule& rule) {
  if (logFd < 0) return;
  char line[64];
  const char* name = kCallNames[static_cast<int>(rule.call)];
  std::size_t at = std::strlen(name);
  std::memcpy(line, name, at);
  line[at++] = ' ';
  char digits[24];
  int count = 0;
  unsigned long long value = rule.seen;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) line[at++] = digits[--count];
  line[at++] = '\n';
  const int savedErrno = errno;
  (void)::syscall(SYS_write, logFd, line, at);
  errno = savedErrno;
}

// Arms the malloc rules waiting for a path that `path` contains.
void NoteOpened(const char* path) {
  if (path == nullptr) return;
  for (int i = 0; i < ruleCount; ++i) {
    Rule& rule = rules[i];
    if (rule.call == Call::kMalloc && !rule.armed && std::strstr(path, rule.on) != nullptr) rule.armed = true;
  }
}

// The rule that makes this call of `call` on `path` fail, if any; counts the
// call for every rule that matches it.
const Rule* FaultFor(Call call, const char* path) {
  const Rule* hit = nullptr;
  for (int i = 0; i < ruleCount; ++i) {
    Rule& rule = rules[i];
    if (rule.call != call) continue;
    if (rule.on[0] != '\0' && (path == nullptr || std::strstr(path, rule.on) == nullptr)) continue;
    ++rule.seen;
    const bool fails = rule.onward ? rule.seen >= rule.first : rule.seen == rule.first;
    if (fails && hit == nullptr) hit = &rule;
  }
  if (hit != nullptr) Log(*hit);
  return hit;
}

const Rule* FaultForDescriptor(Call call, int fd) {
  if (!HasRuleFor(call)) return nullptr;
  char path[4096];
  PathOfDescriptor(fd, path);
  return FaultFor(call, path);
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// --- Allocation -----------------------------------------------------------
//
// dlsym may allocate while the real malloc is being looked up; those few
// blocks come from a static arena and are never given back.

alignas(std::max_align_t) char arena[16384];
std::size_t arenaUsed = 0;
bool lookingUp = false;
bool inOperatorNew = false;  // operator new counted already; the malloc under it is not

using MallocFunction = void* (*)(std::size_t);
using CallocFunction = void* (*)(std::size_t, std::size_t);
using ReallocFunction = void* (*)(void*, std::size_t);
using FreeFunction = void (*)(void*);

MallocFunction realMalloc = nullptr;
CallocFunction realCalloc = nullptr;
ReallocFunction realRealloc = nullptr;
FreeFunction realFree = nullptr;

void* FromArena(std::size_t size) {
  const std::size_t aligned = (size + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
  if (arenaUsed + aligned > sizeof arena) return nullptr;
  void* block = arena + arenaUsed;
  arenaUsed += aligned;
  return block;
}

bool InArena(const void* block) {
  return block >= static_cast<const void*>(arena) && block < static_cast<const void*>(arena + sizeof arena);
}

void LookUpAllocator() {
  if (realFree != nullptr) return;
  lookingUp = true;
  realMalloc = Next<MallocFunction>("malloc");
  realCalloc = Next<CallocFunction>("calloc");
  realRealloc = Next<ReallocFunction>("realloc");
  realFree = Next<FreeFunction>("free");
  lookingUp = false;
}

// True when an allocation of `size` bytes must fail.
bool RefuseAllocation(std::size_t size) {
  bool refuse = false;
  for (int i = 0; i < ruleCount; ++i) {
    Rule& rule = rules[i];
    if (rule.call != Call::kMalloc || !rule.armed || size < rule.minimumSize) continue;
    if (rule.exactSize != 0 && size != rule.exactSize) continue;
    bool fails = false;
    if (rule.inBytes) {
      const unsigned long long before = rule.seen;
      rule.seen += size;
      fails = rule.onward ? rule.seen > rule.first : (before <= rule.first && rule.seen > rule.first);
    } else {
      ++rule.seen;
      fails = rule.onward ? rule.seen >= rule.first : rule.seen == rule.first;
    }
    if (fails && !refuse) Log(rule);
    refuse = refuse || fails;
  }
  return refuse;
}

// readdir hands out "." and ".." in no set order: only the calls that
// would hand out another entry are counted, and the one that fails hands out
// nothing, as a listing that breaks off there.
template <typename Entry>
Entry* ReadEntry(Entry* (*next)(DIR*), DIR* folder) {
  if (!HasRuleFor(Call::kReaddir)) return next(folder);
  Entry* entry = next(folder);
  if (entry == nullptr || std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
    return entry;
  }
  if (const Rule* rule = FaultForDescriptor(Call::kReaddir, ::dirfd(folder))) {
    errno = rule->errorNumber;
    return nullptr;
  }
  return entry;
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
  if (lookingUp) return FromArena(size);
  LookUpAllocator();
  if (!inOperatorNew && RefuseAllocation(size)) {
    errno = ENOMEM;
    return nullptr;
  }
  return realMalloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
  if (lookingUp) {
    void* block = FromArena(count * size);
    if (block != nullptr) std::memset(block, 0, count * size);
    return block;
  }
  LookUpAllocator();
  if (RefuseAllocation(count * size)) {
    errno = ENOMEM;
    return nullptr;
  }
  return realCalloc(count, size);
}

void* realloc(void* block, std::size_t size) {
  if (lookingUp || InArena(block)) {
    void* moved = FromArena(size);
    if (moved != nullptr && block != nullptr) std::memcpy(moved, block, size);
    return moved;
  }
  LookUpAllocator();
  if (RefuseAllocation(size)) {
    errno = ENOMEM;
    return nullptr;
  }
  return realRealloc(block, size);
}

void free(void* block) {
  if (block == nullptr || InArena(block)) return;
  LookUpAllocator();
  realFree(block);
}

// --- Files ----------------------------------------------------------------

ssize_t write(int fd, const void* data, std::size_t size) {
  static auto next = Next<ssize_t (*)(int, const void*, std::size_t)>("write");
  if (const Rule* rule = FaultForDescriptor(Call::kWrite, fd)) {
    if (rule->outcome == Outcome::kZero) return 0;
    if (rule->outcome == Outcome::kShort) return next(fd, data, size > 1 ? size / 2 : size);
    errno = rule->errorNumber;
    return -1;
  }
  return next(fd, data, size);
}

ssize_t read(int fd, void* data, std::size_t size) {
  static auto next = Next<ssize_t (*)(int, void*, std::size_t)>("read");
  if (const Rule* rule = FaultForDescriptor(Call::kRead, fd)) {
    if (rule->outcome == Outcome::kZero) return 0;
    if (rule->outcome == Outcome::kShort) return next(fd, data, size > 1 ? size / 2 : size);
    errno = rule->errorNumber;
    return -1;
  }
  return next(fd, data, size);
}

int close(int fd) {
  static auto next = Next<int (*)(int)>("close");
  const Rule* rule = FaultForDescriptor(Call::kClose, fd);
  const int result = next(fd);
  if (rule != nullptr) {
    errno = rule->errorNumber;
    return -1;
  }
  return result;
}

int fstat(int fd, struct stat* status) {
  static auto next = Next<int (*)(int, struct stat*)>("fstat");
  if (const Rule* rule = FaultForDescriptor(Call::kFstat, fd)) {
    errno = rule->errorNumber;
    return -1;
  }
  return next(fd, status);
}

int fstat64(int fd, struct stat64* status) {
  static auto next = Next<int (*)(int, struct stat64*)>("fstat64");
  if (const Rule* rule = FaultForDescriptor(Call::kFstat, fd)) {
    errno = rule->errorNumber;
    return -1;
  }
  return next(fd, status);
}

int fsync(int fd) {
  static auto next = Next<int (*)(int)>("fsync");
  if (const Rule* rule = FaultForDescriptor(Call::kFsync, fd)) {
    errno = rule->errorNumber;
    return -1;
  }
  return next(fd);
}

int rename(const char* from, const char* to) {
  static auto next = Next<int (*)(const char*, const char*)>("rename");
  if (const Rule* rule = HasRuleFor(Call::kRename) ? FaultFor(Call::kRename, to) : nullptr) {
    errno = rule->errorNumber;
    return -1;
  }
  return next(from, to);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  static auto next = Next<int (*)(int, const char*, int, const char*)>("renameat");
  if (const Rule* rule = HasRuleFor(Call::kRename) ? FaultFor(Call::kRename, to) : nullptr) {
    errno = rule->errorNumber;
    return -1;
  }
  return next(fromFolder, from, toFolder, to);
}

int ftruncate(int fd, off_t size) {
  static auto next = Next<int (*)(int, off_t)>("ftruncate");
  if (const Rule* rule = FaultForDescriptor(Call::kFtruncate, fd)) {
    errno = rule->errorNumber;
    return -1;
  }
  return next(fd, size);
}

namespace {

// The mode argument of an open call, present only when a file may be created.
mode_t ModeOf(int flags, va_list arguments) {
  return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE
             ? static_cast<mode_t>(va_arg(arguments, int))
             : 0;
}

bool RefuseOpen(const char* path) {
  StopAtExit();
  if (!HasRuleFor(Call::kOpen)) {
    NoteOpened(path);
    return false;
  }
  if (const Rule* rule = FaultFor(Call::kOpen, path)) {
    errno = rule->errorNumber;
    return true;
  }
  NoteOpened(path);
  return false;
}

}  // namespace

int open(const char* path, int flags, ...) {
  static auto next = Next<int (*)(const char*, int, ...)>("open");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  if (RefuseOpen(path)) return -1;
  return next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  static auto next = Next<int (*)(const char*, int, ...)>("open64");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  if (RefuseOpen(path)) return -1;
  return next(path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...) {
  static auto next = Next<int (*)(int, const char*, int, ...)>("openat");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  if (RefuseOpen(path)) return -1;
  return next(folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...) {
  static auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  if (RefuseOpen(path)) return -1;
  return next(folder, path, flags, mode);
}

DIR* opendir(const char* path) {
  static auto next = Next<DIR* (*)(const char*)>("opendir");
  StopAtExit();
  if (const Rule* rule = HasRuleFor(Call::kOpendir) ? FaultFor(Call::kOpendir, path) : nullptr) {
    errno = rule->errorNumber;
    return nullptr;
  }
  NoteOpened(path);
  return next(path);
}

DIR* fdopendir(int fd) {
  static auto next = Next<DIR* (*)(int)>("fdopendir");
  if (const Rule* rule = FaultForDescriptor(Call::kOpendir, fd)) {
    errno = rule->errorNumber;
    return nullptr;
  }
  return next(fd);
}

dirent* readdir(DIR* folder) {
  static auto next = Next<dirent* (*)(DIR*)>("readdir");
  return ReadEntry(next, folder);
}

dirent64* readdir64(DIR* folder) {
  static auto next = Next<dirent64* (*)(DIR*)>("readdir64");
  return ReadEntry(next, folder);
}

}  // extern "C"

// operator new is replaced too: under AddressSanitizer it does not allocate
// through malloc. The one it replaces does the allocating, so that new and
// delete stay a pair.
namespace {

using NewFunction = void* (*)(std::size_t);
using NothrowNewFunction = void* (*)(std::size_t, const std::nothrow_t&);

void* New(std::size_t size, bool array) {
  static NewFunction next = Next<NewFunction>("_Znwm");
  static NewFunction nextArray = Next<NewFunction>("_Znam");
  if (RefuseAllocation(size)) throw std::bad_alloc();
  inOperatorNew = true;
  void* block = (array ? nextArray : next)(size);
  inOperatorNew = false;
  return block;
}

void* NewOrNull(std::size_t size, const std::nothrow_t& nothrow, bool array) {
  static NothrowNewFunction next = Next<NothrowNewFunction>("_ZnwmRKSt9nothrow_t");
  static NothrowNewFunction nextArray = Next<NothrowNewFunction>("_ZnamRKSt9nothrow_t");
  if (RefuseAllocation(size)) return nullptr;
  inOperatorNew = true;
  void* block = (array ? nextArray : next)(size, nothrow);
  inOperatorNew = false;
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return New(size, false); }
void* operator new[](std::size_t size) { return New(size, true); }
void* operator new(std::size_t size, const std::nothrow_t& nothrow) noexcept {
  return NewOrNull(size, nothrow, false);
}
void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept {
  return NewOrNull(size, nothrow, true);
}
