#pragma once
// The texts that tell the user why a file copy failed.
#include <string>

std::string SourceOpenFailureText(const std::string& source);
std::string DestinationOpenFailureText(const std::string& destination);
std::string ReadFailureText(const std::string& source, const std::string& destination);
std::string WriteFailureText(const std::string& destination);

// Caption of every copy failure message.
inline constexpr const char* kCopyFailureCaption = "Warning";
