#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/Application.h"
#include "platform/StrUtils.h"

namespace {

int messageBoxes = 0;

// The trainer's harnesses work in a scratch tree as their current folder,
// and libFuzzer reads its inputs only after this start-up: input paths and
// the paths of the file flags become absolute first.
void MakePathsAbsolute(int argc, char** argv) {
  static std::vector<std::string> paths;  // argv points into it until exit
  paths.reserve(std::size_t(argc));
  const std::string here = QDir::currentPath().toStdString() + "/";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::size_t valueAt = 0;
    for (const char* flag : {"-dict=", "-artifact_prefix=", "-exact_artifact_path="})
      if (arg.rfind(flag, 0) == 0) valueAt = std::strlen(flag);
    if (arg[0] == '-' && valueAt == 0) continue;
    if (arg.size() == valueAt || arg[valueAt] == '/') continue;
    paths.push_back(arg.insert(valueAt, here));
    argv[i] = paths.back().data();
  }
}

}  // namespace

void StartFuzzApplication(int* argc, char*** argv) {
  if (Application->Initialized()) return;
  MakePathsAbsolute(*argc, *argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  Application->Initialize(*argc, *argv);
  Application->Title = "fuzz";
  Application->SetMessageSink([](const std::string&, const std::string&) { ++messageBoxes; });
  // libFuzzer ends a run with exit(), when Qt's and the plug-ins' static
  // objects made after this point are gone already: the application can no
  // longer shut down cleanly, so the process ends here. (A crash, leak or
  // timeout ends it before, through _Exit with libFuzzer's error code.)
  std::atexit([] {
    std::fflush(nullptr);
    std::_Exit(0);
  });
}

void Fault(const std::string& what) {
  std::fprintf(stderr, "FUZZ FAULT: %s\n", what.c_str());
  std::abort();
}

int MessageBoxCount() {
  return messageBoxes;
}

void ExpectDocumentedOutcome(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    if (e.Message().empty()) Fault("an Exception without a message");
  } catch (const std::exception& e) {
    Fault(std::string("an undocumented exception: ") + e.what());
  } catch (...) {
    Fault("an exception of no standard type");
  }
}

const std::string& ScratchFolder() {
  static const QTemporaryDir folder(QDir::tempPath() + "/quillon-fuzz-XXXXXX");
  static const std::string path = folder.path().toStdString();
  return path;
}

std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) Fault("cannot write the scratch file " + path);
  return path;
}
