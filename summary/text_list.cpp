#include "summary/text_list.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "runtime/system.h"

namespace quillmere {

namespace {

// A buffer above this size is released at Clear: one huge report must not
// hold its memory through the rest of the run.
constexpr std::size_t kKeptCapacity = 1024 * 1024;
constexpr std::size_t kFirstCapacity = 256;
// Bytes of the longest length prefix (64 bits, 7 a byte).
constexpr std::size_t kMaxPrefix = 10;

}  // namespace

TextList::~TextList() { Release(); }

TextList::TextList(const TextList& other) : count_(other.count_) {
  if (other.size_ == 0) return;
  bytes_ = static_cast<char*>(CurrentSystem().Allocate(nullptr, other.size_));
  if (bytes_ == nullptr) throw std::bad_alloc();
  std::memcpy(bytes_, other.bytes_, other.size_);
  size_ = other.size_;
  capacity_ = other.size_;
}

TextList& TextList::operator=(const TextList& other) {
  if (this != &other) *this = TextList(other);
  return *this;
}

TextList::TextList(TextList&& other) noexcept
    : bytes_(std::exchange(other.bytes_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      count_(std::exchange(other.count_, 0)) {}

TextList& TextList::operator=(TextList&& other) noexcept {
  if (this != &other) {
    Release();
    bytes_ = std::exchange(other.bytes_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    count_ = std::exchange(other.count_, 0);
  }
  return *this;
}

void TextList::Release() {
  std::free(bytes_);
  bytes_ = nullptr;
  size_ = 0;
  capacity_ = 0;
}

void TextList::Reserve(std::size_t more) {
  if (more > static_cast<std::size_t>(-1) / 2 - size_) throw std::bad_alloc();
  if (size_ + more <= capacity_) return;
  std::size_t grown = capacity_ < kFirstCapacity ? kFirstCapacity : capacity_ * 2;
  if (grown < size_ + more) grown = size_ + more;
  char* moved = static_cast<char*>(CurrentSystem().Allocate(bytes_, grown));
  if (moved == nullptr) throw std::bad_alloc();
  bytes_ = moved;
  capacity_ = grown;
}

TextList::Offset TextList::Append(std::string_view text) {
  Reserve(kMaxPrefix + text.size());
  const Offset offset = size_;
  std::size_t length = text.size();
  while (length >= 0x80) {
    bytes_[size_++] = static_cast<char>((length & 0x7f) | 0x80);
    length >>= 7;
  }
  bytes_[size_++] = static_cast<char>(length);
  if (!text.empty()) std::memcpy(bytes_ + size_, text.data(), text.size());
  size_ += text.size();
  ++count_;
  return offset;
}

std::size_t TextList::LengthAt(Offset offset, Offset& text) const {
  std::size_t length = 0;
  unsigned shift = 0;
  for (;;) {
    const auto byte = static_cast<unsigned char>(bytes_[offset++]);
    length |= static_cast<std::size_t>(byte & 0x7f) << shift;
    if ((byte & 0x80) == 0) break;
    shift += 7;
  }
  text = offset;
  return length;
}

std::string_view TextList::At(Offset offset) const {
  if (offset == kNone) return {};
  Offset text = 0;
  const std::size_t length = LengthAt(offset, text);
  return std::string_view(bytes_ + text, length);
}

void TextList::Clear() {
  if (capacity_ > kKeptCapacity) Release();
  size_ = 0;
  count_ = 0;
}

TextList::Iterator& TextList::Iterator::operator++() {
  Offset text = 0;
  const std::size_t length = list_->LengthAt(offset_, text);
  offset_ = text + length;
  return *this;
}

}  // namespace quillmere
