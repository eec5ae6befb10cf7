#include "platform/posix/profile_document.h"

#include "platform/posix/code_page.h"

namespace platform::posix {
namespace {

constexpr char kUtf16LeMark[] = "\xFF\xFE";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1A;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string StripQuotes(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

ProfileDocument::ProfileDocument(std::string bytes) : bytes_(std::move(bytes)) { Parse(); }

unsigned ProfileDocument::UnitAt(size_t offset) const {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes_[i]); };
  return utf16_ ? byte(offset) | (byte(offset + 1) << 8) : byte(offset);
}

std::string ProfileDocument::Decode(size_t begin, size_t end) const {
  if (!utf16_) return bytes_.substr(begin, end - begin);
  std::u16string units;
  units.reserve((end - begin) / 2);
  for (size_t at = begin; at < end; at += 2) units += static_cast<char16_t>(UnitAt(at));
  return ActiveCodePage().FromUtf16(units);
}

std::string ProfileDocument::Encode(const std::string& text) const {
  if (!utf16_) return text;
  std::string encoded;
  for (char16_t unit : ActiveCodePage().ToUtf16(text)) {
    encoded += static_cast<char>(unit & 0xFF);
    encoded += static_cast<char>(unit >> 8);
  }
  return encoded;
}

void ProfileDocument::Parse() {
  lines_.clear();
  sections_.clear();
  firstSection_.clear();
  utf16_ = bytes_.compare(0, 2, kUtf16LeMark) == 0;
  const size_t width = utf16_ ? 2 : 1;
  textEnd_ = utf16_ ? bytes_.size() & ~size_t{1} : bytes_.size();

  // CR LF, LF and a lone CR each end a line.
  for (size_t begin = utf16_ ? 2 : 0; begin < textEnd_;) {
    size_t contentEnd = begin;
    while (contentEnd < textEnd_ && UnitAt(contentEnd) != '\r' && UnitAt(contentEnd) != '\n') contentEnd += width;
    size_t end = contentEnd;
    if (end < textEnd_) {
      const bool crLf = UnitAt(end) == '\r' && end + width < textEnd_ && UnitAt(end + width) == '\n';
      end += crLf ? 2 * width : width;
    }
    lines_.push_back({begin, contentEnd, end});
    begin = end;
  }

  Section* current = nullptr;  // keys before the first section belong to none
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string content = TrimBlanks(Decode(lines_[i].begin, lines_[i].contentEnd));
    if (content.empty()) continue;
    if (content[0] == '[') {
      const size_t close = content.rfind(']');
      if (close != std::string::npos) {
        sections_.push_back({TrimBlanks(content.substr(1, close - 1)), i, {}});
        firstSection_.emplace(Lower(sections_.back().name), sections_.size() - 1);
        current = &sections_.back();
        continue;
      }
    }
    if (!current) continue;
    current->lastLine = i;
    const size_t equals = content.find('=');
    if (equals == std::string::npos) continue;  // a line without "=" holds no key
    const std::string name = TrimBlanks(content.substr(0, equals));
    current->keys.emplace(Lower(name), KeyEntry{TrimBlanks(content.substr(equals + 1)), i, name});
  }
}

std::optional<std::string> ProfileDocument::Value(const std::string& section, const std::string& key) const {
  const auto s = firstSection_.find(Lower(TrimBlanks(section)));
  if (s == firstSection_.end()) return std::nullopt;
  const auto& keys = sections_[s->second].keys;
  const auto k = keys.find(Lower(TrimBlanks(key)));
  if (k == keys.end()) return std::nullopt;
  return StripQuotes(k->second.value);
}

std::vector<std::string> ProfileDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) names.push_back(s.name);
  return names;
}

void ProfileDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
  const std::string sectionName = TrimBlanks(section);
  const std::string keyName = TrimBlanks(key);
  std::string cleanValue = value;
  cleanValue.erase(0, cleanValue.find_first_not_of(" \t"));
  // A line break would split the value into lines of its own: keep the text before it.
  cleanValue = cleanValue.substr(0, cleanValue.find_first_of("\r\n"));

  // A line that has no line break (the file's last) gets one before anything follows it.
  const auto breakAfter = [](const Line& line) { return line.end == line.contentEnd ? "\r\n" : ""; };
  const auto s = firstSection_.find(Lower(sectionName));
  if (s == firstSection_.end()) {
    const std::string lead = lines_.empty() ? "" : breakAfter(lines_.back());
    bytes_.insert(textEnd_, Encode(lead + "[" + sectionName + "]\r\n" + keyName + "=" + cleanValue + "\r\n"));
  } else {
    const Section& target = sections_[s->second];
    const auto k = target.keys.find(Lower(keyName));
    if (k != target.keys.end()) {
      const Line& line = lines_[k->second.line];
      bytes_.replace(line.begin, line.contentEnd - line.begin, Encode(k->second.name + "=" + cleanValue));
    } else {
      const Line& last = lines_[target.lastLine];
      bytes_.insert(last.end, Encode(breakAfter(last) + keyName + "=" + cleanValue + "\r\n"));
    }
  }
  Parse();
}

}  // namespace platform::posix
