#include "tests/failing_system.h"

#include <algorithm>
#include <utility>

namespace quillmere::testing {

namespace {

// A read or write of `size` bytes that `failure` (when not null) meets:
// `call` hands the system a count of bytes, all of them when no failure
// meets it, half of them (at least one) for a short transfer; a call that
// transfers nothing succeeds without calling, and one that fails fails.
template <typename Call>
bool Transferring(const FailedCall* failure, std::size_t size, const Call& call) {
  if (failure == nullptr) return call(size);
  switch (failure->transfer) {
    case FailedCall::Transfer::kHalf:
      return call(std::max<std::size_t>(size / 2, 1));
    case FailedCall::Transfer::kNothing:
      return true;
    case FailedCall::Transfer::kFails:
      break;
  }
  return false;
}

}  // namespace

FailingSystem::FailingSystem(std::vector<FailedCall> failures) : SystemWrapper(PlatformSystem()) {
  for (FailedCall& failure : failures) failures_.push_back({std::move(failure), 0});
  previous_ = UseSystem(this);
}

FailingSystem::~FailingSystem() { UseSystem(previous_); }

const FailedCall* FailingSystem::Meets(SystemCall kind, const std::string& name, std::size_t size) {
  ++calls_;
  // Every failure counts the call; the first that falls on it is met.
  const FailedCall* met = nullptr;
  for (Counted& counted : failures_) {
    const FailedCall& failure = counted.failure;
    if (failure.anyKind ? kind == SystemCall::kAllocate : failure.call != kind) continue;
    if (!failure.name.empty() && name.find(failure.name) == std::string::npos) continue;
    if (kind == SystemCall::kAllocate && size < failure.atLeast) continue;
    ++counted.seen;
    if (met == nullptr && (counted.seen == failure.nth || (failure.onward && counted.seen > failure.nth)))
      met = &failure;
  }
  if (met == nullptr) return nullptr;
  ++failed_;
  if (met->transfer == FailedCall::Transfer::kFails) SetSystemError(met->error);
  return met;
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

bool FailingSystem::Read(std::intptr_t file, char* data, std::size_t size, std::size_t& got) {
  got = 0;
  return Transferring(Meets(SystemCall::kRead, NameOf(file)), size,
                      [&](std::size_t count) { return SystemWrapper::Read(file, data, count, got); });
}

bool FailingSystem::Write(std::intptr_t file, const char* data, std::size_t size, std::size_t& written) {
  written = 0;
  return Transferring(Meets(SystemCall::kWrite, NameOf(file)), size,
                      [&](std::size_t count) { return SystemWrapper::Write(file, data, count, written); });
}

bool FailingSystem::Status(std::intptr_t file, void* status) {
  return !Fails(SystemCall::kStatus, NameOf(file)) && SystemWrapper::Status(file, status);
}

bool FailingSystem::Flush(std::intptr_t file) {
  return !Fails(SystemCall::kFlush, NameOf(file)) && SystemWrapper::Flush(file);
}

bool FailingSystem::Truncate(std::intptr_t file, std::uint64_t size) {
  return !Fails(SystemCall::kTruncate, NameOf(file)) && SystemWrapper::Truncate(file, size);
}

bool FailingSystem::Seek(std::intptr_t file, std::uint64_t offset) {
  return !Fails(SystemCall::kSeek, NameOf(file)) && SystemWrapper::Seek(file, offset);
}

std::intptr_t FailingSystem::Duplicate(std::intptr_t file) {
  const std::string name = NameOf(file);
  if (Fails(SystemCall::kDuplicate, name)) return -1;
  const std::intptr_t copy = SystemWrapper::Duplicate(file);
  if (copy != -1) names_[copy] = name;
  return copy;
}

bool FailingSystem::SetAttributes(std::intptr_t file, unsigned long attributes) {
  return !Fails(SystemCall::kSetAttributes, NameOf(file)) && SystemWrapper::SetAttributes(file, attributes);
}

bool FailingSystem::Rename(const RenameCall& call) {
  return !Fails(SystemCall::kRename, std::string(call.to)) && SystemWrapper::Rename(call);
}

bool FailingSystem::Lock(std::intptr_t file) {
  return !Fails(SystemCall::kLock, NameOf(file)) && SystemWrapper::Lock(file);
}

bool FailingSystem::Close(std::intptr_t file) {
  const std::string name = NameOf(file);
  names_.erase(file);  // the number may name another file next
  const bool closed = SystemWrapper::Close(file);
  return !Fails(SystemCall::kClose, name) && closed;
}

void* FailingSystem::OpenListing(const ListingCall& call) {
  return Fails(SystemCall::kOpenListing, std::string(call.folder)) ? nullptr
                                                                   : SystemWrapper::OpenListing(call);
}

bool FailingSystem::NextEntry(std::string_view folder, void* listing, void* entry) {
  return !Fails(SystemCall::kList, std::string(folder)) && SystemWrapper::NextEntry(folder, listing, entry);
}

void* FailingSystem::Allocate(void* block, std::size_t size) {
  return Meets(SystemCall::kAllocate, "", size) != nullptr ? nullptr : SystemWrapper::Allocate(block, size);
}

}  // namespace quillmere::testing
