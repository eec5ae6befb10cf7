#pragma once
// A parsed profile (INI) file that keeps its bytes, so a write changes one line and leaves every
// other byte as it was.
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::posix {

class ProfileDocument {
public:
  // `bytes` as stored on disk: 8-bit text, or UTF-16LE when it starts with the byte-order mark
  // FF FE (read as UTF-8 text). CR LF, LF and a lone CR each end a line.
  explicit ProfileDocument(std::string bytes);

  // The value of `key` in the first section named `section` (both without regard to ASCII case),
  // blanks trimmed and matching quotes removed; nullopt when missing.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;

  // The section names in file order.
  std::vector<std::string> SectionNames() const;

  // Sets `key` in the first section named `section`: the key's line is replaced in place, or a new
  // line added after the section's last line, or the section appended. New text is written in the
  // file's encoding with CR LF line ends. The result is in bytes().
  void Set(const std::string& section, const std::string& key, const std::string& value);

  const std::string& bytes() const { return bytes_; }

private:
  struct Line {
    size_t begin, contentEnd, end;  // byte offsets; end includes the line break
  };
  struct KeyEntry {
    std::string value;
    size_t line;
    std::string name;  // as spelled in the file
  };
  struct Section {
    std::string name;
    size_t lastLine;  // last non-blank line: the header or a key line
    std::unordered_map<std::string, KeyEntry> keys;  // by lower-case name; first one wins
  };

  void Parse();
  unsigned UnitAt(size_t offset) const;
  std::string Decode(size_t begin, size_t end) const;
  std::string Encode(const std::string& text) const;

  std::string bytes_;
  bool utf16_ = false;
  size_t textEnd_ = 0;  // end of the last whole character (a UTF-16 file may end in half of one)
  std::vector<Line> lines_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> firstSection_;  // lower-case name -> index
};

// `text` without the blanks (space, tab, CR, LF, VT, FF, 0x1A) at either end.
std::string TrimBlanks(const std::string& text);

}  // namespace platform::posix
