#pragma once
// What the command line takes and says differently on each host: app/posix/cli_host.cpp (Linux,
// where the simulator lives in a Wine prefix) and app/win32/cli_host.cpp (Windows).
#include <string>

// True when `argument` asks for the help: "--help" and "-h", and on Windows "/?" as well.
bool AsksForHelp(const std::string& argument);

// The help's line for the switches that AsksForHelp takes.
const char* CliHelpSwitchesLine();

// The help's paragraphs on folders and text as this host's users meet them.
const char* CliHostHelp();
