#include "viewer/Plugin/PluginLog.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/FileSystem.h"
#include "viewer/Plugin/PluginGlobals.h"

std::string PluginLogFolder;

namespace {

// A message longer than this is cut: a plug-in that forgot the NUL must not
// make us read on without end.
constexpr std::size_t kMaxMessage = 64 * 1024;
// Waiting text is written once it reaches this size, whatever else happens.
constexpr std::size_t kBlockSize = 64 * 1024;

struct TDocumentCount {
  int Written = 0;
  long long Dropped = 0;  // since the last flush
};

// Everything the log keeps between messages. A plug-in may log from a thread
// of its own, so every use holds the mutex.
struct TLogState {
  std::mutex Mutex;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> File{nullptr, &std::fclose};
  std::string FileFolder;  // the PluginLogFolder the open file belongs to
  std::string Waiting;
  bool FlushPosted = false;
  std::map<std::string, TDocumentCount> Documents;

  void Flush();
  void Close();
  void DropNotes();
  bool Open();
};

TLogState& State() {
  static TLogState state;
  return state;
}

thread_local const std::string* currentSubject = nullptr;

void TLogState::DropNotes() {
  for (auto& [subject, count] : Documents) {
    if (count.Dropped == 0) continue;
    Waiting += "log.txt: " + std::to_string(count.Dropped) + " more messages" +
               (subject.empty() ? std::string() : " about [" + subject + "]") + " were dropped\r\n";
    count.Dropped = 0;
  }
}

bool TLogState::Open() {
  if (File && FileFolder == PluginLogFolder) return true;
  File.reset(std::fopen(NativePath(PluginLogPath()).c_str(), "ab"));
  FileFolder = PluginLogFolder;
  return File != nullptr;
}

void TLogState::Flush() {
  DropNotes();
  // A file that cannot be opened loses the block; the next one tries again.
  if (!Waiting.empty() && Open()) {
    std::fwrite(Waiting.data(), 1, Waiting.size(), File.get());
    std::fflush(File.get());
  }
  Waiting.clear();
}

void TLogState::Close() {
  Flush();
  File.reset();
  Documents.clear();
}

// Called with the mutex held, after text was added.
void ScheduleFlush(TLogState& state) {
  if (state.Waiting.size() >= kBlockSize || !QCoreApplication::instance()) return state.Flush();
  if (state.FlushPosted) return;
  state.FlushPosted = true;
  // The block goes out as soon as the event loop is back: after the operation
  // that logged it, however many messages that was.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [] { FlushPluginLog(); }, Qt::QueuedConnection);
}

}  // namespace

std::string PluginLogPath() {
  const std::string folder = PluginLogFolder.empty() ? ProgramFolder() : PluginLogFolder;
  return IncludeTrailingPathDelimiter(folder) + "log.txt";
}

void AppendToPluginLog(const std::string& text) noexcept {
  if (!DebugMessages || text.empty()) return;
  try {
    TLogState& state = State();
    const std::lock_guard<std::mutex> lock(state.Mutex);
    TDocumentCount& count = state.Documents[currentSubject ? *currentSubject : std::string()];
    if (count.Written < kMaxLogMessagesPerDocument) {
      ++count.Written;
      state.Waiting += text;
    } else {
      ++count.Dropped;
    }
    ScheduleFlush(state);
  } catch (...) {
    // The log is a diagnostic: losing a message is better than failing the caller.
  }
}

void FlushPluginLog() noexcept {
  try {
    TLogState& state = State();
    const std::lock_guard<std::mutex> lock(state.Mutex);
    state.FlushPosted = false;
    state.Flush();
  } catch (...) {
    // As above: the block is lost, the program goes on.
  }
}

void ClosePluginLog() noexcept {
  try {
    TLogState& state = State();
    const std::lock_guard<std::mutex> lock(state.Mutex);
    state.Close();
  } catch (...) {
    // As above.
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

TPluginLogScope::TPluginLogScope(std::string FileName)
    : subject_(std::move(FileName)), previous_(currentSubject) {
  currentSubject = &subject_;
}

TPluginLogScope::~TPluginLogScope() {
  currentSubject = previous_;
}
