// A System for tests that fails chosen calls as the system would, and hands
// every other call on to the platform's own.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "runtime/system.h"

namespace quillmere::testing {

// One call to fail: the `nth` call of kind `call` on a file or folder whose
// name contains `name` (any name when empty), and with `onward` every such
// call after it too. With `anyKind` every kind counts (the system stopping
// from a point on, as at a power cut). `error` is the error number it fails
// with (errno, or a Windows error code).
struct FailedCall {
  SystemCall call = SystemCall::kWrite;
  int nth = 1;
  unsigned long error = 0;
  std::string name;
  bool onward = false;
  bool anyKind = false;
};

// Put in place of the runtime's System while it lives.
class FailingSystem : public SystemWrapper {
 public:
  explicit FailingSystem(std::vector<FailedCall> failures);
  ~FailingSystem() override;
  FailingSystem(const FailingSystem&) = delete;
  FailingSystem& operator=(const FailingSystem&) = delete;

  // How many calls it failed, and how many it was asked in all.
  int failed() const { return failed_; }
  int calls() const { return calls_; }

  std::intptr_t Open(const OpenCall& call) override;
  bool Write(std::intptr_t file, const char* data, std::size_t size, std::size_t& written) override;
  bool Flush(std::intptr_t file) override;
  bool Truncate(std::intptr_t file, std::uint64_t size) override;
  bool Rename(const RenameCall& call) override;
  bool Lock(std::intptr_t file) override;
  bool NextEntry(std::string_view folder, void* listing, void* entry) override;

 private:
  // Whether this call, of `kind` on `name`, is to fail; sets the error if so.
  bool Fails(SystemCall kind, const std::string& name);
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
