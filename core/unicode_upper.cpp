#include "core/unicode_upper.hpp"

namespace tabulon {
namespace {

struct Special {
  char32_t cp;
  const char* upper;
};

// Non-ASCII code points whose full upper-case mapping is made of ASCII letters only.
constexpr Special kSpecials[] = {
    {0x00DF, "SS"},   // sharp s
    {0x0131, "I"},    // dotless i
    {0x017F, "S"},    // long s
    {0xFB00, "FF"},  {0xFB01, "FI"}, {0xFB02, "FL"}, {0xFB03, "FFI"},
    {0xFB04, "FFL"}, {0xFB05, "ST"}, {0xFB06, "ST"},  // Latin ligatures
};

constexpr char kUpperAscii[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

}  // namespace

std::string_view ascii_letter_upper(char32_t cp) noexcept {
  if (cp >= 'a' && cp <= 'z') return {kUpperAscii + (cp - 'a'), 1};
  if (cp >= 'A' && cp <= 'Z') return {kUpperAscii + (cp - 'A'), 1};
  if (cp < 0x80) return {};
  for (const Special& s : kSpecials) {
    if (s.cp == cp) return s.upper;
  }
  return {};
}

char32_t next_code_point(std::string_view text, std::size_t& pos) noexcept {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (extra == 0 || lead > 0xF4 || text.size() - pos <= extra) {
    ++pos;
    return 0xFFFD;
  }
  char32_t cp = lead & (0x3F >> extra);
  for (std::size_t i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  pos += extra + 1;
  return cp;
}

bool upper_equals(std::string_view text, std::string_view upper) noexcept {
  std::size_t pos = 0;
  std::size_t matched = 0;
  while (pos < text.size()) {
    std::string_view mapped = ascii_letter_upper(next_code_point(text, pos));
    if (mapped.empty() || upper.substr(matched, mapped.size()) != mapped) return false;
    matched += mapped.size();
  }
  return matched == upper.size();
}

std::string reference_upper(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t cp = next_code_point(text, pos);
    std::string_view mapped = ascii_letter_upper(cp);
    if (!mapped.empty()) {
      out.append(mapped);
    } else if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else {
      out.push_back('\x7f');
    }
  }
  return out;
}

}  // namespace tabulon
