#include "wtf8.h"

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

void append_utf8(std::string &out, char32_t c) {
  auto byte = [&out](char32_t b) { out += static_cast<char>(b); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | c >> 6);
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    byte(0xE0 | c >> 12);
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  } else {
    byte(0xF0 | c >> 18);
    byte(0x80 | (c >> 12 & 0x3F));
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

bool is_high_surrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_low_surrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

bool wtf8_decode(std::string_view bytes, size_t *at, char32_t *c) {
  auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[*at + i]); };
  unsigned char lead = b(0);
  size_t length = lead < 0x80                    ? 1
                  : lead >= 0xC2 && lead <= 0xDF ? 2
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
  if (length == 0 || *at + length > bytes.size())
    return false;
  auto value = static_cast<char32_t>(length == 1 ? lead : lead & (0x7F >> length));
  for (size_t i = 1; i < length; ++i) {
    if ((b(i) & 0xC0) != 0x80)
      return false;
    value = value << 6 | (b(i) & 0x3F);
  }
  static const char32_t SHORTEST[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < SHORTEST[length] || value > 0x10FFFF)
    return false;
  *at += length;
  *c = value;
  return true;
}

std::string wtf8_from_utf16(std::u16string_view units) {
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t u = units[i];
    if (is_high_surrogate(u) && i + 1 < units.size() && is_low_surrogate(units[i + 1]))
      u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
    append_utf8(out, u);
  }
  return out;
}

bool utf16_from_wtf8(std::string_view bytes, std::u16string *units) {
  units->clear();
  bool exact = true;
  for (size_t at = 0; at < bytes.size();) {
    char32_t c = 0;
    if (!wtf8_decode(bytes, &at, &c)) {
      exact = false;
      c = REPLACEMENT;
      ++at;
    }
    if (c >= 0x10000) {
      units->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units->push_back(static_cast<char16_t>(c));
    }
  }
  return exact;
}
