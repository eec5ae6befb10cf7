// ovpatch-cli: the patch dialog driven from the command line (see --help).
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "app/cli_session.h"
#include "platform/text.h"

namespace {

// Passes what the program writes (text in its code page) on to `target` a line at a time, in the
// terminal's encoding.
class TerminalBuffer : public std::streambuf {
public:
  explicit TerminalBuffer(std::streambuf* target) : target_(target) {}
  ~TerminalBuffer() override { sync(); }
  TerminalBuffer(const TerminalBuffer&) = delete;
  TerminalBuffer& operator=(const TerminalBuffer&) = delete;

protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return sync() == 0 ? 0 : c;
    pending_ += traits_type::to_char_type(c);
    if (traits_type::to_char_type(c) == '\n' && sync() != 0) return traits_type::eof();
    return c;
  }

  int sync() override {
    const std::string text = platform::TextForTerminal(pending_);
    pending_.clear();
    if (target_->sputn(text.data(), static_cast<std::streamsize>(text.size())) !=
        static_cast<std::streamsize>(text.size()))
      return -1;
    return target_->pubsync();
  }

private:
  std::streambuf* target_;
  std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  // Usage errors quote the command line as it was given: they go out unconverted.
  const CliParse parse = ParseCliArguments(arguments);
  if (!parse.error.empty()) {
    std::cerr << "ovpatch-cli: " << parse.error << "\n"
              << "Try 'ovpatch-cli --help' for more information.\n";
    return kCliUsageError;
  }
  if (parse.options.help) {
    std::cout << CliHelpText();
    return kCliDone;
  }
  if (parse.options.version) {
    std::cout << CliVersionText();
    return kCliDone;
  }
  // Each line reaches the system in one write: TerminalBuffer flushes after every line, and an
  // unbuffered stdout (the Windows C runtime's when it is not a console) would hand on each
  // character by itself, a system call apiece.
  std::setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);
  TerminalBuffer outBuffer(std::cout.rdbuf());
  TerminalBuffer errBuffer(std::cerr.rdbuf());
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  return RunCliSession(parse.options, out, err);
}
