#include "platform/posix/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/posix/handles.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/utf8_text.h"

namespace platform::posix {
namespace {

constexpr unsigned kDefaultCodePage = 1252;
constexpr unsigned kUtf8CodePage = 65001;

// The name iconv knows the Windows code page `number` by.
std::string IconvName(unsigned number) {
  switch (number) {
    case 20127:
      return "ASCII";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    case 10000:
      return "MACINTOSH";
    case 28603:
      return "ISO-8859-13";
    case 28605:
      return "ISO-8859-15";
    default:
      if (number >= 28591 && number <= 28599) return "ISO-8859-" + std::to_string(number - 28590);
      return "CP" + std::to_string(number);
  }
}

// Runs one whole conversion from a fresh state. nullopt when the input is invalid or cut short
// (then `incomplete` says which) or a character could only be approximated.
std::optional<std::string> RunIconv(iconv_t cd, const std::string& in, bool* incomplete = nullptr) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(in.size() * 8 + 16, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  if (converted == static_cast<size_t>(-1)) {
    if (incomplete) *incomplete = errno == EINVAL;
    return std::nullopt;
  }
  // Characters a decoder holds back (to combine them with the next) come out now.
  if (converted != 0 || iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

std::string Utf32Le(char32_t c) {
  return {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
          static_cast<char>((c >> 16) & 0xFF), static_cast<char>(c >> 24)};
}

// The one code point `bytes` (UTF-32LE) holds; `none` when it holds another count.
char32_t OneCodePoint(const std::optional<std::string>& bytes, char32_t none) {
  if (!bytes || bytes->size() != 4) return none;
  const auto byte = [&](size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>((*bytes)[i]));
  };
  return byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24);
}

// The code page $OVPATCH_CODEPAGE names, when it holds a number.
std::optional<unsigned> ChosenCodePage(const char* text) {
  if (!text || !*text) return std::nullopt;
  char* end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 10);
  if (*end != '\0' || number == 0 || number > 65535) return std::nullopt;
  return static_cast<unsigned>(number);
}

// The prefix's ANSI code page, as Wine records it.
std::optional<unsigned> PrefixCodePage() {
  const auto value =
      ReadSystemRegistryString(u"System\\CurrentControlSet\\Control\\Nls\\CodePage", u"ACP");
  if (!value) return std::nullopt;
  std::string digits;
  for (char16_t unit : value->units) digits += unit < 0x80 ? static_cast<char>(unit) : '?';
  return ChosenCodePage(digits.c_str());
}

}  // namespace

struct CodePage::Iconv {
  UniqueConversion toUtf32;
  UniqueConversion fromUtf32;
};

CodePage::CodePage(unsigned number) : number_(number) {
  toUnicode_.fill(kNone);
  for (unsigned b = 0; b < 0x80; ++b) toUnicode_[b] = b;
  if (number == kUtf8CodePage) {
    known_ = utf8_ = true;
  } else {
    const std::string name = IconvName(number);
    auto conversions = std::make_unique<Iconv>(
        Iconv{UniqueConversion(iconv_open("UTF-32LE", name.c_str())),
              UniqueConversion(iconv_open(name.c_str(), "UTF-32LE"))});
    known_ = conversions->toUtf32.IsOpen() && conversions->fromUtf32.IsOpen();
    if (known_) {
      const iconv_t to = conversions->toUtf32.Get();
      iconv_ = std::move(conversions);
      bool doubleByte = false;
      std::set<char32_t> used;
      for (unsigned b = 0x80; b < 0x100; ++b) {
        bool incomplete = false;
        const auto out = RunIconv(to, std::string(1, static_cast<char>(b)), &incomplete);
        toUnicode_[b] = OneCodePoint(out, kNone);
        lead_[b] = !out && incomplete;
        doubleByte = doubleByte || lead_[b];
        if (toUnicode_[b] != kNone) used.insert(toUnicode_[b]);
      }
      doubleByte_ = doubleByte;
      // Windows gives every byte of a single-byte code page a character, those the code page
      // leaves undefined included (0x81 is U+0081 in 1252), so that every name converts both ways.
      for (unsigned b = 0x80; b < 0x100 && !doubleByte; ++b) {
        if (toUnicode_[b] != kNone) continue;
        toUnicode_[b] = used.count(b) == 0 ? b : 0xF000 + b;
        used.insert(toUnicode_[b]);
      }
    }
  }
  for (unsigned b = 0; b < 0x100; ++b)
    if (toUnicode_[b] != kNone) fromUnicode_.emplace(toUnicode_[b], static_cast<unsigned char>(b));
  for (unsigned b = 0; b < 0x100; ++b) {
    upper_[b] = static_cast<unsigned char>(b);
    if (toUnicode_[b] == kNone) continue;
    const auto upper = fromUnicode_.find(UnicodeUpper(toUnicode_[b]));
    // Unicode folds a few letters into ASCII (dotless i into I): names never match that way.
    if (upper != fromUnicode_.end() && (b < 0x80 || upper->second >= 0x80))
      upper_[b] = upper->second;
  }
}

CodePage::~CodePage() = default;

char32_t CodePage::DecodePair(unsigned char lead, unsigned char trail) const {
  if (!iconv_ || trail == 0) return kNone;
  const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
  return OneCodePoint(RunIconv(iconv_->toUtf32.Get(), pair), kNone);
}

std::optional<std::u32string> CodePage::Decode(const std::string& text) const {
  std::u32string out;
  for (size_t at = 0; at < text.size();) {
    if (utf8_) {
      const std::optional<char32_t> c = DecodeUtf8At(text, at);
      if (!c) return std::nullopt;
      out += *c;
      continue;
    }
    const unsigned char b = static_cast<unsigned char>(text[at]);
    char32_t c = toUnicode_[b];
    if (lead_[b]) {
      if (at + 1 >= text.size()) return std::nullopt;
      c = DecodePair(b, static_cast<unsigned char>(text[++at]));
    }
    if (c == kNone) return std::nullopt;
    out += c;
    ++at;
  }
  return out;
}

bool CodePage::Encode(char32_t c, std::string& out) const {
  if (utf8_) {
    AppendUtf8(out, c);
    return true;
  }
  if (const auto single = fromUnicode_.find(c); single != fromUnicode_.end()) {
    out += static_cast<char>(single->second);
    return true;
  }
  if (!iconv_) return false;
  const std::optional<std::string> bytes = RunIconv(iconv_->fromUtf32.Get(), Utf32Le(c));
  if (!bytes || bytes->size() != 2 || !lead_[static_cast<unsigned char>((*bytes)[0])]) return false;
  out += *bytes;
  return true;
}

namespace {

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string CodePage::Upper(const std::string& text) const {
  // ASCII folds to ASCII in every code page and no lead byte is ASCII: the ASCII text before the
  // first other byte is folded in place, the common case of a whole name.
  std::string upper = text;
  size_t at = 0;
  for (; at < upper.size() && static_cast<unsigned char>(upper[at]) < 0x80; ++at)
    if (upper[at] >= 'a' && upper[at] <= 'z') upper[at] = static_cast<char>(upper[at] - 0x20);
  if (at == upper.size()) return upper;
  upper.resize(at);
  while (at < text.size()) {
    if (utf8_) {
      const size_t start = at;
      const std::optional<char32_t> c = DecodeUtf8At(text, at);
      const char32_t folded = c ? UnicodeUpper(*c) : 0;
      if (!c || (*c >= 0x80 && folded < 0x80))
        upper.append(text, start, at - start);
      else
        AppendUtf8(upper, folded);
      continue;
    }
    const unsigned char b = static_cast<unsigned char>(text[at]);
    if (lead_[b] && at + 1 < text.size()) {
      upper.append(text, at, 2);
      at += 2;
    } else {
      upper += static_cast<char>(upper_[b]);
      ++at;
    }
  }
  return upper;
}

std::optional<std::string> CodePage::ToUtf8(const std::string& text) const {
  if (IsAscii(text)) return text;  // ASCII is itself in every code page and in UTF-8
  const std::optional<std::u32string> points = Decode(text);
  if (!points) return std::nullopt;
  std::string utf8;
  utf8.reserve(text.size());
  for (char32_t c : *points) AppendUtf8(utf8, c);
  return utf8;
}

std::optional<std::string> CodePage::FromUtf8(const std::string& utf8, std::string* unheld) const {
  if (IsAscii(utf8)) return utf8;
  std::string text;
  text.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const size_t start = at;
    const std::optional<char32_t> c = DecodeUtf8At(utf8, at);
    if (!c) return std::nullopt;
    if (!Encode(*c, text)) {
      if (unheld) *unheld = utf8.substr(start, at - start);
      return std::nullopt;
    }
  }
  return text;
}

std::string CodePage::FromUtf16(const std::u16string& units) const {
  std::string text;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    if (!Encode(c, text)) text += '?';
  }
  return text;
}

std::u16string CodePage::ToUtf16(const std::string& text) const {
  std::u16string units;
  for (size_t at = 0; at < text.size();) {
    // One character at a time, so that a byte that is not text spoils only itself.
    size_t width = 1;
    if (utf8_) {
      size_t end = at;
      DecodeUtf8At(text, end);
      width = end - at;
    } else if (lead_[static_cast<unsigned char>(text[at])] && at + 1 < text.size()) {
      width = 2;
    }
    const std::optional<std::u32string> c = Decode(text.substr(at, width));
    at += width;
    const char32_t point = c ? (*c)[0] : 0xFFFD;
    if (point < 0x10000) {
      units += static_cast<char16_t>(point);
    } else {
      units += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
  }
  return units;
}

namespace {

// The page the outermost hold took, and how deep the holds nest.
struct HeldCodePage {
  const CodePage* page = nullptr;
  int depth = 0;
};

HeldCodePage& Held() {
  static HeldCodePage held;
  return held;
}

}  // namespace

const CodePage& ActiveCodePage() {
  if (const CodePage* held = Held().page) return *held;
  // Called for every byte of some scans (IsLeadByte) outside a hold: the check that nothing
  // changed compares the variables the choice depends on as they are, without building any string.
  struct Cache {
    std::string chosen, prefix, home;  // $OVPATCH_CODEPAGE, $WINEPREFIX and $HOME it was made for
    const CodePage* page = nullptr;
    std::map<unsigned, std::unique_ptr<CodePage>> built;
  };
  static Cache cache;
  const auto same = [](const std::string& held, const char* now) {
    return held == (now ? now : "");
  };
  const char* chosen = std::getenv(kCodePageVariable);
  const char* prefix = std::getenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  if (cache.page && same(cache.chosen, chosen) && same(cache.prefix, prefix) &&
      same(cache.home, home))
    return *cache.page;
  std::optional<unsigned> number = ChosenCodePage(chosen);
  if (!number) number = PrefixCodePage();
  std::unique_ptr<CodePage>& page = cache.built[number.value_or(kDefaultCodePage)];
  if (!page) page = std::make_unique<CodePage>(number.value_or(kDefaultCodePage));
  cache.chosen = chosen ? chosen : "";
  cache.prefix = prefix ? prefix : "";
  cache.home = home ? home : "";
  cache.page = page.get();
  return *page;
}

void HoldActiveCodePage() {
  HeldCodePage& held = Held();
  if (held.depth++ == 0) held.page = &ActiveCodePage();
}

void ReleaseActiveCodePage() {
  HeldCodePage& held = Held();
  if (held.depth > 0 && --held.depth == 0) held.page = nullptr;
}

char32_t UnicodeUpper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : c - 0x20;  // Latin-1, not the division sign
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: pairs of upper and lower case
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
      return c == 0x131 ? 'I' : c == 0x17F ? 'S' : c;
    const bool upperOdd = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    return (c % 2 == 0) == upperOdd ? c - 1 : c;
  }
  switch (c) {
    case 0x192:
      return 0x191;  // f with hook
    case 0x1A1:
      return 0x1A0;  // o with horn
    case 0x1B0:
      return 0x1AF;  // u with horn
    case 0x3AC:
      return 0x386;
    case 0x3C2:
      return 0x3A3;  // final sigma
    case 0x3CC:
      return 0x38C;
    case 0x3CD:
      return 0x38E;
    case 0x3CE:
      return 0x38F;
    case 0x491:
      return 0x490;
    default:
      break;
  }
  if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
  if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB)) return c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

}  // namespace platform::posix
