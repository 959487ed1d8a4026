#pragma once
// The tag table: which exercise control the markup parser creates for a tag.

#include <string>
#include <vector>

class QObject;
class TRLControl;

// A class reference: creates a control of one class with the given owner.
using TRLControlClass = TRLControl* (*)(QObject* owner);

template <class T>
TRLControl* CreateControl(QObject* owner) {
  return new T(owner);
}

// One row: the tag name (lower case) and the class created for it.
struct TRLRec {
  std::string Name;
  TRLControlClass ClassRef = nullptr;
};

// Rows in registration order; filled once at start-up.
extern std::vector<TRLRec> TagTable;

void RegisterTag(const std::string& name, TRLControlClass classRef);
// The class of the first row named name (A-Z folded); throws
// "Unknown tag: \"name\"" with the name as written.
TRLControlClass FindTagClass(const std::string& name);

// Fills the tag table in its fixed order and sets ImagesFolder; called once
// at start-up. Calling it again refills the table.
void InitExerciseTags();
