#include "platform/posix/profile_document.h"

namespace platform::posix {
namespace {

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

ProfileDocument::ProfileDocument(std::string text) : text_(std::move(text)) { Parse(); }

void ProfileDocument::Parse() {
  lines_.clear();
  sections_.clear();
  firstSection_.clear();
  for (size_t begin = 0; begin < text_.size();) {
    const size_t newline = text_.find('\n', begin);
    const size_t end = newline == std::string::npos ? text_.size() : newline + 1;
    size_t contentEnd = end;
    while (contentEnd > begin && (text_[contentEnd - 1] == '\n' || text_[contentEnd - 1] == '\r')) --contentEnd;
    lines_.push_back({begin, contentEnd, end});
    begin = end;
  }

  Section* current = nullptr;  // keys before the first section belong to none
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string content = TrimBlanks(text_.substr(lines_[i].begin, lines_[i].contentEnd - lines_[i].begin));
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

  const auto s = firstSection_.find(Lower(sectionName));
  if (s == firstSection_.end()) {
    std::string added;
    if (!text_.empty() && text_.back() != '\n') added += "\r\n";
    added += "[" + sectionName + "]\r\n" + keyName + "=" + cleanValue + "\r\n";
    text_ += added;
  } else {
    const Section& target = sections_[s->second];
    const auto k = target.keys.find(Lower(keyName));
    if (k != target.keys.end()) {
      const Line& line = lines_[k->second.line];
      text_.replace(line.begin, line.contentEnd - line.begin, k->second.name + "=" + cleanValue);
    } else {
      const Line& last = lines_[target.lastLine];
      std::string added = keyName + "=" + cleanValue + "\r\n";
      if (last.end == last.contentEnd) added = "\r\n" + added;  // the last line had no line break
      text_.insert(last.end, added);
    }
  }
  Parse();
}

}  // namespace platform::posix
