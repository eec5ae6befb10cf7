// platform/registry.h on Linux, and the reading of system.reg (platform/posix/registry_file.h).
#include "platform/registry.h"

#include <fstream>
#include <vector>

#include "platform/posix/code_page.h"
#include "platform/posix/path_resolver.h"
#include "platform/posix/registry_file.h"

// HKEY_LOCAL_MACHINE lives in the Wine prefix's system.reg: "[key\\path] stamp" headers followed by
// "name"=value lines, names and strings written with the escapes of Wine's registry files.
namespace platform::posix {
namespace {

// Registry names compare without regard to case, letter by letter in Unicode.
bool EqualNoCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UnicodeUpper(a[i]) != UnicodeUpper(b[i])) return false;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes an escaped string starting at `pos` up to the unescaped `endChar`. Returns the position
// after `endChar`, or npos when it is missing. Every unit is appended to `units`.
size_t DecodeEscaped(const std::string& line, size_t pos, char endChar, std::u16string& units) {
  while (pos < line.size() && line[pos] != endChar) {
    if (line[pos] != '\\') {
      units.push_back(static_cast<unsigned char>(line[pos++]));
      continue;
    }
    if (++pos >= line.size()) return std::string::npos;
    const char c = line[pos++];
    switch (c) {
      case 'a': units.push_back('\a'); break;
      case 'b': units.push_back('\b'); break;
      case 'e': units.push_back(0x1B); break;
      case 'f': units.push_back('\f'); break;
      case 'n': units.push_back('\n'); break;
      case 'r': units.push_back('\r'); break;
      case 't': units.push_back('\t'); break;
      case 'v': units.push_back('\v'); break;
      case 'x': {
        unsigned value = 0;
        int digits = 0;
        while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) {
          value = value * 16 + static_cast<unsigned>(HexDigit(line[pos++]));
          ++digits;
        }
        units.push_back(digits ? value : 'x');
        break;
      }
      default:
        if (c >= '0' && c <= '7') {
          unsigned value = static_cast<unsigned>(c - '0');
          for (int i = 0; i < 2 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++i)
            value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
          units.push_back(value);
        } else {
          units.push_back(static_cast<unsigned char>(c));
        }
    }
  }
  return pos < line.size() ? pos + 1 : std::string::npos;
}

std::vector<std::u16string> SplitKeyPath(const std::u16string& path) {
  std::vector<std::u16string> parts;
  std::u16string current;
  for (char16_t c : path) {
    if (c == '\\') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

bool SameKeyPath(const std::vector<std::u16string>& a, const std::vector<std::u16string>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!EqualNoCase(a[i], b[i])) return false;
  return true;
}

// The data of a string value: units up to (not including) the first zero, and whether one was
// there. False when the value is not a string.
bool ParseStringData(const std::string& data, std::u16string& units, bool& terminated) {
  units.clear();
  size_t quote = std::string::npos;
  for (const char* tag : {"\"", "str:\"", "str(2):\"", "str(7):\""})
    if (data.rfind(tag, 0) == 0) quote = std::string(tag).size();
  if (quote != std::string::npos) {
    if (DecodeEscaped(data, quote, '"', units) == std::string::npos) return false;
    terminated = true;  // Wine stores these with their zero
  } else if (data.rfind("hex(1):", 0) == 0 || data.rfind("hex(2):", 0) == 0) {
    std::vector<unsigned char> bytes;
    for (size_t pos = 7; pos + 1 < data.size();) {
      const int hi = HexDigit(data[pos]), lo = HexDigit(data[pos + 1]);
      if (hi < 0 || lo < 0) break;
      bytes.push_back(static_cast<unsigned char>(hi * 16 + lo));
      pos += 2;
      while (pos < data.size() && (data[pos] == ',' || data[pos] == ' ' || data[pos] == '\\')) ++pos;
    }
    terminated = false;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const unsigned unit = bytes[i] | (bytes[i + 1] << 8);
      if (unit == 0) {
        terminated = true;
        return true;
      }
      units.push_back(unit);
    }
  } else {
    return false;
  }
  for (size_t i = 0; i < units.size(); ++i)
    if (units[i] == 0) {  // a multi-string or embedded zero: the text ends at the first one
      units.resize(i);
      terminated = true;
      break;
    }
  return true;
}

struct Lookup {
  std::vector<std::u16string> key;
  std::u16string valueName;  // "" = the default value "@"
  bool keyFound = false;
  std::optional<std::string> data;  // raw text after "=" when the value was found
};

// Reads system.reg once, filling every lookup whose key appears (the first such key wins).
void Scan(const std::string& file, std::vector<Lookup*>& lookups, bool& win64) {
  std::ifstream in(file, std::ios::binary);
  std::string physical, line;
  std::vector<Lookup*> inKey;
  // Hex data goes on over lines that end in "\": they are joined in place, so that a long value
  // costs time in proportion to its length.
  bool continued = false;
  while (std::getline(in, physical)) {
    if (!physical.empty() && physical.back() == '\r') physical.pop_back();
    const bool joined = continued;
    continued = false;
    if (joined) line += physical;
    else line.swap(physical);
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    if (line.compare(start, 11, "#arch=win64") == 0) win64 = true;
    if (line[start] == '[') {
      std::u16string units;
      if (DecodeEscaped(line, start + 1, ']', units) == std::string::npos) continue;
      const auto path = SplitKeyPath(units);
      inKey.clear();
      for (Lookup* l : lookups)
        if (!l->keyFound && SameKeyPath(path, l->key)) {
          l->keyFound = true;
          inKey.push_back(l);
        }
      continue;
    }
    if (inKey.empty() || (line[start] != '"' && line[start] != '@')) continue;
    continued = line.back() == '\\' && (joined || line.find("=hex", start) != std::string::npos);
    if (continued) {
      line.pop_back();
      continue;
    }
    std::u16string name;
    size_t pos = start + 1;
    if (line[start] == '"') {
      pos = DecodeEscaped(line, start + 1, '"', name);
      if (pos == std::string::npos) continue;
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size() || line[pos] != '=') continue;
    ++pos;
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    for (Lookup* l : inKey)
      if (!l->data && EqualNoCase(l->valueName, name)) l->data = line.substr(pos);
  }
}

}  // namespace

std::optional<RegistryString> ReadSystemRegistryString(const std::u16string& keyPath,
                                                       const std::u16string& valueName) {
  Lookup plain{SplitKeyPath(keyPath), valueName, false, std::nullopt};
  // A 32-bit program in a 64-bit prefix sees HKLM\Software\X at Software\Wow6432Node\X.
  Lookup redirected = plain;
  const bool underSoftware = !plain.key.empty() && EqualNoCase(plain.key[0], u"Software");
  if (underSoftware) redirected.key.insert(redirected.key.begin() + 1, u"Wow6432Node");

  std::vector<Lookup*> lookups{&plain};
  if (underSoftware) lookups.push_back(&redirected);
  bool win64 = false;
  Scan(WinePrefix() + "/system.reg", lookups, win64);

  const Lookup& chosen = win64 && underSoftware && redirected.keyFound ? redirected : plain;
  if (!chosen.keyFound || !chosen.data) return std::nullopt;
  RegistryString value;
  if (!ParseStringData(*chosen.data, value.units, value.terminated)) return std::nullopt;
  return value;
}

}  // namespace platform::posix

namespace platform {

std::optional<std::string> ReadMachineRegistryString(const std::string& keyPath,
                                                     const std::string& valueName,
                                                     size_t bufferSize) {
  // RegQueryValueExA gives the text in the code page, each character it cannot hold as "?".
  const posix::CodePage& codePage = posix::ActiveCodePage();
  const std::optional<posix::RegistryString> value =
      posix::ReadSystemRegistryString(codePage.ToUtf16(keyPath), codePage.ToUtf16(valueName));
  if (!value) return std::nullopt;
  const std::string text = codePage.FromUtf16(value->units);
  // The value and its zero must fit; a value stored without one may fill the buffer exactly.
  if (text.size() + (value->terminated ? 1 : 0) > bufferSize) return std::nullopt;
  return text;
}

}  // namespace platform
