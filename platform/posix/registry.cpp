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

// Where the value's data starts in the value line `line` ("name"=data or @=data, from `start`),
// after the blanks around "="; npos when the line is no value line. `name` receives the name.
size_t ValueDataStart(const std::string& line, size_t start, std::u16string& name) {
  name.clear();
  size_t pos = start + 1;
  if (line[start] == '"') {
    pos = DecodeEscaped(line, start + 1, '"', name);
  } else if (line[start] != '@') {
    return std::string::npos;
  }
  if (pos == std::string::npos) return pos;
  pos = line.find_first_not_of(" \t", pos);
  if (pos == std::string::npos || line[pos] != '=') return std::string::npos;
  pos = line.find_first_not_of(" \t", pos + 1);
  return pos == std::string::npos ? line.size() : pos;
}

// The lines of system.reg without their line ends, a value whose hex data goes on over lines that
// end in "\" given as one line.
class LogicalLines {
public:
  explicit LogicalLines(const std::string& file) : in_(file, std::ios::binary) {}

  // The next line; false at the end of the file (a value cut short by it is left out).
  bool Next(std::string& line) {
    if (!NextPhysical(line)) return false;
    if (!HexDataGoesOn(line)) return true;
    // Joined in place, so that a long value costs time in proportion to its length.
    std::string more;
    do {
      line.pop_back();
      if (!NextPhysical(more)) return false;
      line += more;
    } while (!line.empty() && line.back() == '\\');
    return true;
  }

private:
  bool NextPhysical(std::string& line) {
    if (!std::getline(in_, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

  static bool HexDataGoesOn(const std::string& line) {
    if (line.empty() || line.back() != '\\') return false;
    const size_t start = line.find_first_not_of(" \t");
    std::u16string name;
    const size_t data = ValueDataStart(line, start, name);
    return data != std::string::npos && line.compare(data, 3, "hex") == 0;
  }

  std::ifstream in_;
};

// The key path of the key header `line` ("[key\\path] stamp", from `start`); nullopt when the
// name does not end.
std::optional<std::vector<std::u16string>> KeyHeaderPath(const std::string& line, size_t start) {
  std::u16string units;
  if (DecodeEscaped(line, start + 1, ']', units) == std::string::npos) return std::nullopt;
  return SplitKeyPath(units);
}

// The lookups of the key `path` that no key before it answered, marked as answered by it.
std::vector<Lookup*> LookupsOfKey(const std::vector<std::u16string>& path,
                                  const std::vector<Lookup*>& lookups) {
  std::vector<Lookup*> ofKey;
  for (Lookup* lookup : lookups)
    if (!lookup->keyFound && SameKeyPath(path, lookup->key)) {
      lookup->keyFound = true;
      ofKey.push_back(lookup);
    }
  return ofKey;
}

// Reads system.reg once, filling every lookup whose key appears (the first such key wins). True
// when the file is a 64-bit prefix's.
bool ScanSystemRegistry(const std::string& file, const std::vector<Lookup*>& lookups) {
  bool win64 = false;
  std::vector<Lookup*> inKey;  // the lookups of the key the lines are in
  LogicalLines lines(file);
  std::string line;
  std::u16string name;
  while (lines.Next(line)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    if (line.compare(start, 11, "#arch=win64") == 0) {
      win64 = true;
    } else if (line[start] == '[') {
      if (const auto path = KeyHeaderPath(line, start)) inKey = LookupsOfKey(*path, lookups);
    } else if (!inKey.empty()) {
      const size_t data = ValueDataStart(line, start, name);
      if (data == std::string::npos) continue;
      for (Lookup* lookup : inKey)
        if (!lookup->data && EqualNoCase(lookup->valueName, name)) lookup->data = line.substr(data);
    }
  }
  return win64;
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
  const bool win64 = ScanSystemRegistry(WinePrefix() + "/system.reg", lookups);

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
