#pragma once
// The plug-ins' log: "log.txt" in the program's folder, appended to.

#include <cstdint>
#include <string>

// Where log.txt is written; empty means the program's folder.
extern std::string PluginLogFolder;

// The log callback handed to every plug-in. A and B are ignored; Msg is
// appended as it stands (no line end, no time stamp) while DebugMessages is
// on. Failures are swallowed: the plug-in never hears of them.
void PluginLogCallback(std::intptr_t A, std::intptr_t B, const char* Msg) noexcept;
// The full path of log.txt.
std::string PluginLogPath();
// Appends text to log.txt while DebugMessages is on; failures are swallowed.
void AppendToPluginLog(const std::string& text) noexcept;
