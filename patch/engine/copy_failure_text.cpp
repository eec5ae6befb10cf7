#include "patch/engine/copy_failure_text.h"

std::string SourceOpenFailureText(const std::string& source) {
  return "Error opening file " + source +
         "\n\nThe source file appears to be missing from your FS2004 system.";
}

std::string DestinationOpenFailureText(const std::string& destination) {
  return "Error opening file " + destination +
         "\n\nThe OS may have the file locked.\n\nReboot your system and try running the Orvane "
         "SETUP again.";
}

std::string ReadFailureText(const std::string& source, const std::string& destination) {
  return "Error reading file " + source +
         "\n\nThe file could not be read to its end, so it was not copied.\n\n" + destination +
         " has been left as it was.";
}

std::string WriteFailureText(const std::string& destination) {
  return "Error writing file " + destination +
         "\n\nThe disk may be full or the file locked, so the copy could not be completed.\n\n"
         "The file has been left as it was.";
}
