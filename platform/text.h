#pragma once
// Text rules of the system code page: the ANSI code page Windows holds a program's text in (on
// Linux, the Wine prefix's; see platform/posix/code_page.h), and the host's own text at the edges.
#include <optional>
#include <string>

namespace platform {

// True when `c` is the lead byte of a double-byte character in the system code page.
bool IsLeadByte(unsigned char c);
// True when a byte that looks like ASCII may be the trail byte of a character in the system code
// page (932, 936, 949, 950; on Windows any code page of more than one byte a character): only then
// must a path be read character by character.
bool CodePageHasLeadBytes();

// Position of the last folder separator of `path`, scanning character by character so that the
// trail byte of a double-byte character is never taken for one; std::string::npos when none.
// On Windows only "\" separates; elsewhere "/" does as well.
size_t FindLastSeparator(const std::string& path);

// `text` with its letters in upper case as the system folds names in its code page (é -> É in
// 1252, on every host): the one rule for every comparison without regard to case. A letter never
// folds into ASCII from outside it, and double-byte characters stay as they are.
std::string UpperCase(const std::string& text);

// True when `a` and `b` are equal without regard to case (by UpperCase).
bool SameTextNoCase(const std::string& a, const std::string& b);

// The number of the system code page (1252, 1251, 932, ...).
unsigned TextCodePage();

struct CommandLineText {
  std::optional<std::string> text;  // in the system code page; nullopt when it cannot be held
  std::string unheld;  // then the first character it cannot hold, as the command line spelled it
};

// An argument of the command line (the host's encoding: UTF-8 on Linux) in the system code page.
// On Windows the arguments come in the code page already and pass unchanged.
CommandLineText TextFromCommandLine(const std::string& text);

// `text` (system code page) in the terminal's encoding: the locale's on Linux (a character it
// cannot show as "?"); unchanged on Windows.
std::string TextForTerminal(const std::string& text);

}  // namespace platform
