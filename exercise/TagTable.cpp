#include "exercise/TagTable.h"

#include "exercise/RLControl.h"
#include "exercise/RLEdit.h"
#include "exercise/RLLabel.h"
#include "exercise/RLParser.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"

std::vector<TRLRec> TagTable;

void RegisterTag(const std::string& name, TRLControlClass classRef) {
  TagTable.push_back({LowerCase(name), classRef});
}

TRLControlClass FindTagClass(const std::string& name) {
  const std::string wanted = LowerCase(name);
  for (const TRLRec& row : TagTable)
    if (LowerCase(row.Name) == wanted) return row.ClassRef;
  throw Exception(Format("Unknown tag: \"%s\"", name));
}

void InitExerciseTags() {
  TagTable.clear();
  // The answer controls first, in this order; then the base controls.
  RegisterTag("statictext", &CreateControl<TRLStaticText>);
  RegisterTag("edit", &CreateControl<TRLEdit>);
  RegisterTag("space", &CreateControl<TRLSpacer>);
  ImagesFolder = ProgramFolder() + "imgs/";
}
