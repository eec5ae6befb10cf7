#include "platform/text.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <optional>

#include "platform/posix/code_page.h"
#include "platform/posix/handles.h"
#include "platform/posix/utf8_text.h"

namespace platform {
namespace {

// The encoding of the terminal and the command line: the locale's codeset, where the plain C
// locale (ASCII) is taken for UTF-8, which is what the terminals and names of such sessions use.
std::string HostCodeset() {
  static const std::string codeset = [] {
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    std::string name = locale ? nl_langinfo_l(CODESET, locale) : "";
    if (locale) freelocale(locale);
    if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII") name = "UTF-8";
    return name;
  }();
  return codeset;
}

// `text` converted from the encoding `from` to `to` by iconv; nullopt when it cannot be.
std::optional<std::string> ConvertText(const std::string& text, const std::string& from,
                                       const std::string& to) {
  const posix::UniqueConversion conversion(iconv_open(to.c_str(), from.c_str()));
  if (!conversion.IsOpen()) return std::nullopt;
  const iconv_t cd = conversion.Get();
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const bool converted = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                         iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
  if (!converted) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

bool IsLeadByte(unsigned char c) { return posix::ActiveCodePage().IsLeadByte(c); }

bool CodePageHasLeadBytes() { return posix::ActiveCodePage().HasLeadBytes(); }

size_t FindLastSeparator(const std::string& path) {
  const posix::CodePage& codePage = posix::ActiveCodePage();
  // Without double-byte characters each backslash or slash byte separates: found from the end.
  if (!codePage.HasLeadBytes()) {
    for (size_t i = path.size(); i-- > 0;)
      if (path[i] == '\\' || path[i] == '/') return i;
    return std::string::npos;
  }
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    // No lead byte is ASCII: only a byte above it asks the code page.
    if (c >= 0x80) {
      if (codePage.IsLeadByte(c)) ++i;
    } else if (c == '\\' || c == '/') {
      last = i;
    }
  }
  return last;
}

std::string UpperCase(const std::string& text) { return posix::ActiveCodePage().Upper(text); }

bool SameTextNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

unsigned TextCodePage() { return posix::ActiveCodePage().Number(); }

CommandLineText TextFromCommandLine(const std::string& text) {
  CommandLineText converted;
  const posix::CodePage& codePage = posix::ActiveCodePage();
  if (HostCodeset() == "UTF-8") {
    converted.text = codePage.FromUtf8(text, &converted.unheld);
    if (!converted.text && converted.unheld.empty()) converted.unheld = "(not UTF-8)";
    return converted;
  }
  // Another codeset: through UTF-8, character by character so that the one that fails is known.
  const std::optional<std::string> utf8 = ConvertText(text, HostCodeset(), "UTF-8");
  if (!utf8) {
    converted.unheld = "(not " + HostCodeset() + ")";
    return converted;
  }
  std::string unheldUtf8;
  converted.text = codePage.FromUtf8(*utf8, &unheldUtf8);
  if (!converted.text)
    converted.unheld = ConvertText(unheldUtf8, "UTF-8", HostCodeset()).value_or("?");
  return converted;
}

std::string TextForTerminal(const std::string& text) {
  const posix::CodePage& codePage = posix::ActiveCodePage();
  std::string utf8;
  for (char16_t unit : codePage.ToUtf16(text)) {
    // Surrogates do not occur: the code pages hold the Basic Multilingual Plane only.
    posix::AppendUtf8(utf8, unit >= 0xD800 && unit <= 0xDFFF ? U'?' : unit);
  }
  if (HostCodeset() == "UTF-8") return utf8;
  return ConvertText(utf8, "UTF-8", HostCodeset() + "//TRANSLIT").value_or(utf8);
}

}  // namespace platform
