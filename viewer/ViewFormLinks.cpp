// The link commands of the main window.
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLinkReader.h"
#include "viewer/ViewForm.h"

namespace {

// Link texts are cp1251; the window's file names are the file system's spelling.
std::string LinkName(const std::string& arg) {
  return Cp1251ToUtf8(NormalizePath(arg));
}

std::string BareName(const std::string& path) {
  return ChangeFileExt(ExtractFileName(path), "");
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
      OpenLinked(LinkName(LinkInfo->GetArg(1)), LinkInfo->GetArgInt(2));
      break;
    case TLinkCommand::lcStart:
      StartFile(LinkInfo->GetArg(1));
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
  const std::string beside = ExtractFilePath(CurrentFile) + name;
  return !ExtractFilePath(CurrentFile).empty() && NativeFileExists(beside) ? beside : name;
}

void TPluginViewForm::OpenLinked(const std::string& name, int page) {
  const std::string path = LinkedDocument(name);
  // A missing target must not take the page the reader is on away.
  if (!NativeFileExists(path)) return ReportMissing(path);
  OpenFile(ResolveNativePath(path), BareName(name), page, false);
}

void TPluginViewForm::StartFile(const std::string& arg) {
  const std::string name = LinkName(arg);
  const std::string path = ExtractFilePath(CurrentFile) + name;
  if (!NativeFileExists(path)) return ReportMissing(path);
  if (IsSupportedExtension(LowerCase(ExtractFileExt(name)))) {
    OpenFile(ResolveNativePath(path), BareName(name), 1, false);
    return;
  }
  if (!ShellOpen(arg, Utf8ToCp1251(ExtractFilePath(CurrentFile)))) {
    MessageBox(Format("Не удалось открыть файл %s"_cp.c_str(), Utf8ToCp1251(path)), "Уведомление"_cp, MB_OK);
  }
}

void TPluginViewForm::OpenWeb(const std::string& target) {
  const std::string address = !target.empty() && target[0] == '\\' ? target.substr(1) : target;
  if (!ShellOpen(address))
    MessageBox(Format("Не удалось открыть %s"_cp.c_str(), address), "Уведомление"_cp, MB_OK);
}

void TPluginViewForm::ReportMissing(const std::string& path) {
  MessageBox(Format("Файл %s отсутствует"_cp.c_str(), Utf8ToCp1251(path)), "Уведомление"_cp, MB_OK);
}
