#include "viewer/Plugin/PluginLog.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/FileSystem.h"
#include "viewer/Plugin/PluginGlobals.h"

std::string PluginLogFolder;

namespace {

// A plug-in may log from a thread of its own: writes must not interleave.
std::mutex logMutex;

// A message longer than this is cut: a plug-in that forgot the NUL must not
// make us read on without end.
constexpr std::size_t kMaxMessage = 64 * 1024;

}  // namespace

std::string PluginLogPath() {
  const std::string folder = PluginLogFolder.empty() ? ProgramFolder() : PluginLogFolder;
  return IncludeTrailingPathDelimiter(folder) + "log.txt";
}

void AppendToPluginLog(const std::string& text) noexcept {
  if (!DebugMessages) return;
  try {
    const std::lock_guard<std::mutex> lock(logMutex);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        std::fopen(NativePath(PluginLogPath()).c_str(), "ab"), &std::fclose);
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file.get());
  } catch (...) {
    // The log is a diagnostic: losing a message is better than failing the caller.
  }
}

void PluginLogCallback(std::intptr_t, std::intptr_t, const char* Msg) noexcept {
  if (!Msg) return;
  try {
    AppendToPluginLog(std::string(Msg, strnlen(Msg, kMaxMessage)));
  } catch (...) {
    // Out of memory for the copy: the message is lost, the plug-in goes on.
  }
}
