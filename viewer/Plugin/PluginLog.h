#pragma once
// The plug-ins' log: "log.txt" in the program's folder, appended to. The file
// is opened once and written in blocks; a flood of messages about one
// document is cut short with one line that says how many were dropped.

#include <cstdint>
#include <string>

// Where log.txt is written; empty means the program's folder.
extern std::string PluginLogFolder;

// A damaged file can make a plug-in complain about every object it reads,
// hundreds of thousands of times; past the first lines nobody reads them, and
// writing them all froze the viewer for minutes. So at most this many messages
// about one document reach the file in a session.
constexpr int kMaxLogMessagesPerDocument = 100;

// The log callback handed to every plug-in. A and B are ignored; Msg is
// appended as it stands (no line end, no time stamp) while DebugMessages is
// on. Failures are swallowed: the plug-in never hears of them.
void PluginLogCallback(std::intptr_t A, std::intptr_t B, const char* Msg) noexcept;
// The full path of log.txt.
std::string PluginLogPath();
// Appends text to log.txt while DebugMessages is on; failures are swallowed.
// The text reaches the file with the next block: when the event loop runs
// again, when a block is full, or at FlushPluginLog.
void AppendToPluginLog(const std::string& text) noexcept;
// Writes what is waiting, with a line for every document whose messages were
// dropped since the last flush.
void FlushPluginLog() noexcept;
// Flushes, closes the file and starts a new session (message counts from 0).
void ClosePluginLog() noexcept;

// While a scope lives, the messages logged on its thread are about the
// document FileName (scopes nest; the innermost wins). Messages outside any
// scope count as about no document, which has its own budget.
class TPluginLogScope {
 public:
  explicit TPluginLogScope(std::string FileName);
  ~TPluginLogScope();
  TPluginLogScope(const TPluginLogScope&) = delete;
  TPluginLogScope& operator=(const TPluginLogScope&) = delete;

 private:
  std::string subject_;
  const std::string* previous_;
};
