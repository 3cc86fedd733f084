#include "tests/failing_system.h"

#include <utility>

namespace quillmere::testing {

FailingSystem::FailingSystem(std::vector<FailedCall> failures) : SystemWrapper(PlatformSystem()) {
  for (FailedCall& failure : failures) failures_.push_back({std::move(failure), 0});
  previous_ = UseSystem(this);
}

FailingSystem::~FailingSystem() { UseSystem(previous_); }

bool FailingSystem::Fails(SystemCall kind, const std::string& name) {
  ++calls_;
  for (Counted& counted : failures_) {
    const FailedCall& failure = counted.failure;
    if (!failure.anyKind && failure.call != kind) continue;
    if (!failure.name.empty() && name.find(failure.name) == std::string::npos) continue;
    ++counted.seen;
    if (counted.seen == failure.nth || (failure.onward && counted.seen > failure.nth)) {
      ++failed_;
      SetSystemError(failure.error);
      return true;
    }
  }
  return false;
}

std::string FailingSystem::NameOf(std::intptr_t file) const {
  const auto found = names_.find(file);
  return found != names_.end() ? found->second : std::string();
}

std::intptr_t FailingSystem::Open(const OpenCall& call) {
  const std::string name(call.name);
  if (Fails(SystemCall::kOpen, name)) return -1;
  const std::intptr_t file = SystemWrapper::Open(call);
  if (file != -1) names_[file] = name;
  return file;
}

bool FailingSystem::Write(std::intptr_t file, const char* data, std::size_t size, std::size_t& written) {
  written = 0;
  return !Fails(SystemCall::kWrite, NameOf(file)) && SystemWrapper::Write(file, data, size, written);
}

bool FailingSystem::Flush(std::intptr_t file) {
  return !Fails(SystemCall::kFlush, NameOf(file)) && SystemWrapper::Flush(file);
}

bool FailingSystem::Truncate(std::intptr_t file, std::uint64_t size) {
  return !Fails(SystemCall::kTruncate, NameOf(file)) && SystemWrapper::Truncate(file, size);
}

bool FailingSystem::Rename(const RenameCall& call) {
  return !Fails(SystemCall::kRename, std::string(call.to)) && SystemWrapper::Rename(call);
}

bool FailingSystem::Lock(std::intptr_t file) {
  return !Fails(SystemCall::kLock, NameOf(file)) && SystemWrapper::Lock(file);
}

bool FailingSystem::NextEntry(std::string_view folder, void* listing, void* entry) {
  return !Fails(SystemCall::kList, std::string(folder)) && SystemWrapper::NextEntry(folder, listing, entry);
}

}  // namespace quillmere::testing
