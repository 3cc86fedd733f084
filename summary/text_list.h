// Many short texts of one report kept in one buffer.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

namespace quillmere {

// Texts stored one after another in one growing buffer, each preceded by its
// length (seven bits a byte, lowest first). An empty text costs one byte and
// a text is known by one offset, so a report of many tiny texts costs about
// its own size instead of a string object per text. Texts may hold any byte.
// The buffer grows with realloc, which moves a large block without copying
// it on Linux, so growing never holds the old and the new buffer at once.
class TextList {
 public:
  TextList() = default;
  ~TextList();
  TextList(const TextList& other);
  TextList& operator=(const TextList& other);
  TextList(TextList&& other) noexcept;
  TextList& operator=(TextList&& other) noexcept;

  // Where a text starts in the buffer.
  using Offset = std::size_t;
  // The offset of no text; At() reads it as the empty text.
  static constexpr Offset kNone = static_cast<Offset>(-1);

  // Appends `text` and returns its offset. Throws std::bad_alloc when memory
  // runs out; what was appended before stays.
  Offset Append(std::string_view text);

  // The text at `offset` (as Append returned it), or empty text for kNone.
  // Valid until the next Append or Clear.
  std::string_view At(Offset offset) const;

  // How many texts have been appended since the last Clear.
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }

  // Forgets every text. A large buffer is given back to the system, a small
  // one kept for the next report.
  void Clear();

  // The texts in the order they were appended.
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    Iterator() = default;
    Iterator(const TextList* list, Offset offset) : list_(list), offset_(offset) {}
    std::string_view operator*() const { return list_->At(offset_); }
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator& other) const { return offset_ == other.offset_; }

   private:
    const TextList* list_ = nullptr;
    Offset offset_ = 0;
  };
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, size_); }

 private:
  // The length stored at `offset`, and sets `text` to the offset of its
  // first byte.
  std::size_t LengthAt(Offset offset, Offset& text) const;
  // Makes room for `more` bytes after the ones held.
  void Reserve(std::size_t more);
  void Release();

  char* bytes_ = nullptr;  // from the System's Allocate (realloc), so that growing can move it
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t count_ = 0;
};

}  // namespace quillmere
