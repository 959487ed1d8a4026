#include "exercise/TagTable.h"

#include "exercise/RLCheckBox.h"
#include "exercise/RLChooser.h"
#include "exercise/RLColumned.h"
#include "exercise/RLComma.h"
#include "exercise/RLControl.h"
#include "exercise/RLEdit.h"
#include "exercise/RLLabel.h"
#include "exercise/RLMemo.h"
#include "exercise/RLMemory.h"
#include "exercise/RLNotParticle.h"
#include "exercise/RLParagraphManager.h"
#include "exercise/RLParser.h"
#include "exercise/RLPrefix.h"
#include "exercise/RLSwapper.h"
#include "exercise/RLWordCorrector.h"
#include "exercise/RLWordSelector.h"
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
  RegisterTag("checkbox", &CreateControl<TRLCheckBox>);
  RegisterTag("radiogroup", &CreateControl<TRLRadioGroup>);
  RegisterTag("editable", &CreateControl<TRLWordCorrector>);
  RegisterTag("together", &CreateControl<TRLNotParticle>);
  RegisterTag("comma", &CreateControl<TRLComma>);
  RegisterTag("selector", &CreateControl<TRLWordSelector>);
  RegisterTag("underlineselector", &CreateControl<TRLWordSelector2>);
  RegisterTag("memory", &CreateControl<TRLMemory>);
  RegisterTag("prefix", &CreateControl<TRLPrefix>);
  RegisterTag("memo", &CreateControl<TRLMemo>);
  RegisterTag("parmanager", &CreateControl<TRLParagraphManager>);
  RegisterTag("column", &CreateControl<TRLColumned>);
  RegisterTag("column3", &CreateControl<TRLColumned3>);
  RegisterTag("choose", &CreateControl<TRLChooser>);
  RegisterTag("swapper", &CreateControl<TRLSwapper>);
  RegisterTag("statictext", &CreateControl<TRLStaticText>);
  RegisterTag("edit", &CreateControl<TRLEdit>);
  RegisterTag("space", &CreateControl<TRLSpacer>);
  ImagesFolder = ProgramFolder() + "imgs/";
}
