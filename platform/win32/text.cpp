#include "platform/text.h"

#include <windows.h>

#include <array>

namespace platform {
namespace {

// What the system folds each single-byte character of its code page to: the character to Unicode,
// to upper case there (CharUpperBuffW), and back only when the code page holds the result exactly.
// A letter is never folded into ASCII from outside it (dotless i), as on Linux.
std::array<unsigned char, 256> BuildUpperTable() {
  std::array<unsigned char, 256> upper{};
  for (unsigned b = 0; b < 256; ++b) {
    upper[b] = static_cast<unsigned char>(b);
    if (b == 0 || IsDBCSLeadByte(static_cast<BYTE>(b))) continue;
    const char single = static_cast<char>(b);
    wchar_t wide[2] = {};
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &single, 1, wide, 2) != 1) continue;
    CharUpperBuffW(wide, 1);
    char back[2] = {};
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, 1, back, 2, nullptr, &usedDefault);
    const unsigned char folded = static_cast<unsigned char>(back[0]);
    if (length == 1 && !usedDefault && (b < 0x80 || folded >= 0x80)) upper[b] = folded;
  }
  return upper;
}

}  // namespace

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

bool CodePageHasLeadBytes() {
  // The ANSI code page stays the same while the program runs.
  static const bool hasLeadBytes = [] {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) == 0 || info.MaxCharSize > 1;
  }();
  return hasLeadBytes;
}

size_t FindLastSeparator(const std::string& path) {
  size_t last = std::string::npos;
  const char* const begin = path.c_str();
  const char* const end = begin + path.size();
  for (const char* p = begin; p < end;) {
    if (*p == '\\') last = static_cast<size_t>(p - begin);
    // No lead byte is ASCII: only a byte above it asks the system where the next character starts.
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++p;
      continue;
    }
    const char* next = CharNextA(p);
    // CharNextA stops on a zero byte; step over it so that an embedded zero cannot stall the scan.
    p = next > p ? next : p + 1;
  }
  return last;
}

std::string UpperCase(const std::string& text) {
  static const std::array<unsigned char, 256> upper = BuildUpperTable();
  std::string folded = text;
  for (size_t i = 0; i < folded.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(folded[i]);
    if (c >= 0x80 && IsDBCSLeadByte(c) && i + 1 < folded.size())
      ++i;  // double-byte characters stay as they are
    else
      folded[i] = static_cast<char>(upper[c]);
  }
  return folded;
}

bool SameTextNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

unsigned TextCodePage() { return GetACP(); }

CommandLineText TextFromCommandLine(const std::string& text) { return {text, ""}; }

std::string TextForTerminal(const std::string& text) { return text; }

}  // namespace platform
