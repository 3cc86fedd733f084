// A System for tests that fails chosen calls as the system would, and hands
// every other call on to the platform's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "runtime/system.h"

namespace quillmere::testing {

// One call to fail: the `nth` call of kind `call` on a file or folder whose
// name contains `name` (any name when empty; an allocation has none), and
// with `onward` every such call after it too. With `anyKind` every kind
// counts (the system stopping from a point on, as at a power cut) but
// allocation and closing: a file is closed only once it was flushed to the
// disk, or given up. `error`
// is the error number it fails with (errno, or a Windows error code).
struct FailedCall {
  // What a read or a write met does instead of failing: moves half the bytes
  // asked for (at least one), or none at all, and succeeds.
  enum class Transfer { kFails, kHalf, kNothing };

  SystemCall call = SystemCall::kWrite;
  int nth = 1;
  unsigned long error = 0;
  std::string name;
  bool onward = false;
  bool anyKind = false;
  Transfer transfer = Transfer::kFails;
  // An allocation counts only when it asks for at least this many bytes.
  std::size_t atLeast = 0;
};

// Put in place of the runtime's System while it lives. A close that fails
// closes the file all the same, as Linux does.
class FailingSystem : public SystemWrapper {
 public:
  explicit FailingSystem(std::vector<FailedCall> failures);
  ~FailingSystem() override;
  FailingSystem(const FailingSystem&) = delete;
  FailingSystem& operator=(const FailingSystem&) = delete;

  // How many calls it failed (or cut short), and how many it was asked in all.
  int failed() const { return failed_; }
  int calls() const { return calls_; }

  std::intptr_t Open(const OpenCall& call) override;
  bool Read(std::intptr_t file, char* data, std::size_t size, std::size_t& got) override;
  bool Write(std::intptr_t file, const char* data, std::size_t size, std::size_t& written) override;
  bool Status(std::intptr_t file, void* status) override;
  bool Flush(std::intptr_t file) override;
  bool Truncate(std::intptr_t file, std::uint64_t size) override;
  bool Seek(std::intptr_t file, std::uint64_t offset) override;
  std::intptr_t Duplicate(std::intptr_t file) override;
  bool SetAttributes(std::intptr_t file, unsigned long attributes) override;
  bool Rename(const RenameCall& call) override;
  bool Lock(std::intptr_t file) override;
  bool Close(std::intptr_t file) override;
  void* OpenListing(const ListingCall& call) override;
  bool NextEntry(std::string_view folder, void* listing, void* entry) override;
  void* Allocate(void* block, std::size_t size) override;

 private:
  // The failure this call, of `kind` on `name` asking for `size` bytes, meets,
  // or nullptr; sets the error when it fails the call.
  const FailedCall* Meets(SystemCall kind, const std::string& name, std::size_t size = 0);
  bool Fails(SystemCall kind, const std::string& name) { return Meets(kind, name) != nullptr; }
  std::string NameOf(std::intptr_t file) const;

  struct Counted {
    FailedCall failure;
    int seen = 0;
  };
  std::vector<Counted> failures_;
  std::map<std::intptr_t, std::string> names_;  // open files, by handle
  System* previous_;
  int failed_ = 0;
  int calls_ = 0;
};

}  // namespace quillmere::testing
