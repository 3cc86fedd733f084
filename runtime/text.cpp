#include "runtime/text.h"

#include <algorithm>

namespace quillmere {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::size_t Find(std::string_view line, std::string_view text) {
  const std::size_t at = line.find(text);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string_view Cut(std::string_view line, std::size_t start, std::size_t count) {
  const std::size_t first = start == 0 ? 0 : start - 1;
  if (first >= line.size()) return {};
  return line.substr(first, count);
}

std::string_view Cut(std::string_view line, std::size_t start) {
  return Cut(line, start, std::string_view::npos);
}

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string Visible(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  const auto escape = [](std::string& out, unsigned char byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
  };
  std::string visible;
  visible.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9f &&
        static_cast<unsigned char>(text[i + 1]) >= 0x80) {
      // U+0080 to U+009F in UTF-8: the C1 controls, CSI (U+009B) among them,
      // which a UTF-8 terminal obeys as it does ESC [.
      escape(visible, byte);
      escape(visible, static_cast<unsigned char>(text[++i]));
    } else if (byte >= 0x20 && byte != 0x7f) {
      visible += c;
    } else if (c == '\t') {
      visible += "\\t";
    } else if (c == '\r') {
      visible += "\\r";
    } else if (c == '\n') {
      visible += "\\n";
    } else {
      escape(visible, byte);
    }
  }
  return visible;
}

std::string Counted(std::size_t count, std::string_view noun) {
  std::string text = std::to_string(count);
  text += ' ';
  text += noun;
  if (count != 1) text += 's';
  return text;
}

}  // namespace quillmere
