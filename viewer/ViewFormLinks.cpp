// The link commands of the main window.
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLinkReader.h"
#include "viewer/ViewForm.h"

namespace {

// The file that argument i names, in the file system's spelling, as the
// window keeps file names: a plug-in of version 3 gives its bytes, an older
// one cp1251, where "\" separates folders as on the system it was made for.
std::string LinkName(const TPluginLinkInfo& link, int i) {
  const std::string arg = link.GetArg(i);
  return link.NativeNames ? arg : Cp1251ToUtf8(NormalizePath(arg));
}

std::string BareName(const std::string& path) {
  return ChangeFileExt(NativeFileName(path), "");
}

bool IsSupportedExtension(const std::string& ext) {
  return SupportedExtensions && !ext.empty() && SupportedExtensions->IndexOf(ext) >= 0;
}

}  // namespace

void TPluginViewForm::LinkExecute(TObject*, TPluginLinkInfo* LinkInfo) {
  if (!LinkInfo) return;
  switch (LinkInfo->Command) {
    case TLinkCommand::lcGoto:
      GotoPage(LinkInfo->GetArgInt(1));
      break;
    case TLinkCommand::lcOpen:
      OpenLinked(LinkName(*LinkInfo, 1), LinkInfo->GetArgInt(2));
      break;
    case TLinkCommand::lcStart:
      StartFile(LinkName(*LinkInfo, 1));
      break;
    case TLinkCommand::lcWeb:
      OpenWeb(LinkInfo->GetArg(1));
      break;
    case TLinkCommand::lcCmd:
    case TLinkCommand::lcUnknown:
    case TLinkCommand::lcNone:
      break;
  }
}

std::string TPluginViewForm::LinkedDocument(const std::string& name) const {
  // A document names its neighbours relative to itself; the program may have
  // been started from anywhere.
  const std::string beside = NativeFilePath(CurrentFile) + name;
  const bool relative = !name.starts_with('/') && !NativeFilePath(CurrentFile).empty();
  return relative && NativeFileExists(beside) ? beside : name;
}

void TPluginViewForm::OpenLinked(const std::string& name, int page) {
  const std::string path = LinkedDocument(name);
  // A target that cannot be read must not take the page the reader is on away.
  if (const std::string problem = FileProblem(path); !problem.empty()) return Report(problem);
  OpenFile(ResolveNativePath(path), BareName(name), page, false);
}

void TPluginViewForm::StartFile(const std::string& name) {
  const std::string path = name.starts_with('/') ? name : NativeFilePath(CurrentFile) + name;
  if (const std::string problem = FileProblem(path); !problem.empty()) return Report(problem);
  if (IsSupportedExtension(LowerCase(ExtractFileExt(NativeFileName(name))))) {
    OpenFile(ResolveNativePath(path), BareName(name), 1, false);
    return;
  }
  if (!ShellOpenFile(ResolveNativePath(path)))
    Report(Format("Не удалось открыть файл %s"_cp.c_str(), Utf8ToCp1251(path)));
}

void TPluginViewForm::OpenWeb(const std::string& target) {
  const std::string address = !target.empty() && target[0] == '\\' ? target.substr(1) : target;
  if (!ShellOpen(address)) Report(Format("Не удалось открыть %s"_cp.c_str(), address));
}

void TPluginViewForm::Report(const std::string& message) {
  MessageBox(message, "Уведомление"_cp, MB_OK);
}
