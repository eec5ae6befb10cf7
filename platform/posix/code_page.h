#pragma once
// The ANSI code page in which the program holds its text on Linux, as a Windows program in the
// Wine prefix would, and the conversions to the UTF-8 of Linux file names and back.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace platform::posix {

// The environment variable that chooses the code page, overriding the prefix's.
inline constexpr const char* kCodePageVariable = "OVPATCH_CODEPAGE";

class CodePage {
public:
  // The tables of code page `number`, built with the C library's iconv. A code page iconv does not
  // know holds ASCII only: other bytes convert to nothing.
  explicit CodePage(unsigned number);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  unsigned Number() const { return number_; }
  // False when iconv does not know the code page.
  bool Known() const { return known_; }
  // True when `c` starts a double-byte character.
  bool IsLeadByte(unsigned char c) const { return lead_[c]; }
  // True for a double-byte code page, whose trail bytes may look like ASCII (a backslash, say).
  bool HasLeadBytes() const { return doubleByte_; }

  // `text` with each single-byte letter whose upper-case form the code page holds replaced by it
  // (é -> É in 1252); a letter is never folded into ASCII from outside it, and double-byte
  // characters stay as they are.
  std::string Upper(const std::string& text) const;

  // `text` in UTF-8; nullopt when it is not text of the code page (a lone lead byte, a byte the
  // code page leaves undefined in a double-byte code page).
  std::optional<std::string> ToUtf8(const std::string& text) const;
  // `utf8` in the code page; nullopt when it is not UTF-8 or holds a character the code page
  // cannot hold, the first such character (in UTF-8) then in `unheld` when given.
  std::optional<std::string> FromUtf8(const std::string& utf8, std::string* unheld = nullptr) const;

  // UTF-16 conversions as Windows makes them for the registry and UTF-16 files: a character the
  // code page cannot hold becomes "?", a byte that is not text becomes U+FFFD.
  std::string FromUtf16(const std::u16string& units) const;
  std::u16string ToUtf16(const std::string& text) const;

private:
  static constexpr char32_t kNone = 0xFFFFFFFF;

  // The code points of `text`, or nullopt at the first byte sequence that is not text.
  std::optional<std::u32string> Decode(const std::string& text) const;
  // Appends `c` in the code page; false when the code page cannot hold it.
  bool Encode(char32_t c, std::string& out) const;
  // The code point of the double-byte character `lead`, `trail`; kNone when undefined.
  char32_t DecodePair(unsigned char lead, unsigned char trail) const;

  unsigned number_;
  bool known_ = false;
  bool utf8_ = false;  // code page 65001
  bool doubleByte_ = false;
  std::array<bool, 256> lead_{};
  std::array<char32_t, 256> toUnicode_{};  // single bytes; kNone when undefined or a lead byte
  std::array<unsigned char, 256> upper_{};
  std::unordered_map<char32_t, unsigned char> fromUnicode_;  // single bytes only
  struct Iconv;  // conversions of double-byte characters
  std::unique_ptr<Iconv> iconv_;
};

// The code page in use: $OVPATCH_CODEPAGE when it holds a number, otherwise the ACP value under
// System\CurrentControlSet\Control\Nls\CodePage in the prefix's system.reg, otherwise 1252.
// Looked up again whenever $OVPATCH_CODEPAGE or the prefix changes, except while held.
const CodePage& ActiveCodePage();

// While held (holds nest), ActiveCodePage gives the page it gave when the outermost hold began
// without looking at the environment again: a file operation keeps one code page from start to
// end, and the per-byte scans inside it (IsLeadByte) cost a table lookup.
void HoldActiveCodePage();
void ReleaseActiveCodePage();

// `c` in upper case by Unicode's simple mapping for the letters of the Windows code pages
// (Latin, Greek, Cyrillic); any other code point unchanged.
char32_t UnicodeUpper(char32_t c);

}  // namespace platform::posix
