#include "summary/text_list.h"

namespace quillmere {

namespace {

// A buffer above this size is released at Clear: one huge report must not
// hold its memory through the rest of the run.
constexpr std::size_t kKeptCapacity = 1024 * 1024;

}  // namespace

TextList::Offset TextList::Append(std::string_view text) {
  const Offset offset = bytes_.size();
  std::size_t length = text.size();
  try {
    while (length >= 0x80) {
      bytes_ += static_cast<char>((length & 0x7f) | 0x80);
      length >>= 7;
    }
    bytes_ += static_cast<char>(length);
    bytes_.append(text);
  } catch (...) {
    bytes_.resize(offset);  // no length without its text
    throw;
  }
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
  return std::string_view(bytes_.data() + text, length);
}

void TextList::Clear() {
  if (bytes_.capacity() > kKeptCapacity) {
    std::string().swap(bytes_);
  } else {
    bytes_.clear();
  }
  count_ = 0;
}

TextList::Iterator& TextList::Iterator::operator++() {
  Offset text = 0;
  const std::size_t length = list_->LengthAt(offset_, text);
  offset_ = text + length;
  return *this;
}

}  // namespace quillmere
