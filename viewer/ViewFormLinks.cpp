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

std::string BareName(const std::string& path) {
  return ChangeFileExt(ExtractFileName(NormalizePath(path)), "");
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
      OpenFile(LinkedDocument(LinkInfo->GetArg(1)), BareName(LinkInfo->GetArg(1)), LinkInfo->GetArgInt(2),
               false);
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
  return !ExtractFilePath(CurrentFile).empty() && FileExists(beside) ? beside : name;
}

void TPluginViewForm::StartFile(const std::string& name) {
  const std::string path = ExtractFilePath(CurrentFile) + name;
  if (!FileExists(path)) return ReportMissing(path);
  if (IsSupportedExtension(LowerCase(ExtractFileExt(name)))) {
    OpenFile(path, BareName(name), 1, false);
    return;
  }
  if (!ShellOpen(name, ExtractFilePath(CurrentFile))) {
    MessageBox(Format("Не удалось открыть файл %s"_cp.c_str(), path), "Уведомление"_cp, MB_OK);
  }
}

void TPluginViewForm::OpenWeb(const std::string& target) {
  const std::string address = !target.empty() && target[0] == '\\' ? target.substr(1) : target;
  if (!ShellOpen(address))
    MessageBox(Format("Не удалось открыть %s"_cp.c_str(), address), "Уведомление"_cp, MB_OK);
}

void TPluginViewForm::ReportMissing(const std::string& path) {
  MessageBox(Format("Файл %s отсутствует"_cp.c_str(), path), "Уведомление"_cp, MB_OK);
}
