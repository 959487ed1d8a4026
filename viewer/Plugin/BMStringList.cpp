#include "viewer/Plugin/BMStringList.h"

#include <vector>

#include "platform/Application.h"
#include "viewer/Plugin/PluginGlobals.h"

namespace {

// Close may fail; the memory goes in any case.
bool FreeObject(TOwnedObject* object) noexcept {
  std::unique_ptr<TOwnedObject> owned(object);
  if (!owned) return true;
  try {
    owned->Close();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

TBMStringList::~TBMStringList() {
  for (TOwnedObject* object : Detach()) FreeObject(object);
}

// Empties the list before any object goes: an object may look itself up in
// this list while it is freed.
std::vector<TOwnedObject*> TBMStringList::Detach() {
  std::vector<TOwnedObject*> objects;
  for (int i = 0; i < Count(); ++i) objects.push_back(Objects(i));
  Clear();
  return objects;
}

int TBMStringList::AddObject(const std::string& key, std::unique_ptr<TOwnedObject> object) {
  const int index = TStringList::AddObject(key, object.get());
  object.release();
  return index;
}

TOwnedObject* TBMStringList::Objects(int index) const {
  return static_cast<TOwnedObject*>(TStringList::Objects(index));
}

std::unique_ptr<TOwnedObject> TBMStringList::Extract(int index) {
  std::unique_ptr<TOwnedObject> object(Objects(index));
  TStringList::Delete(index);
  return object;
}

void TBMStringList::Delete(int index) {
  FreeObject(Extract(index).release());
}

void TBMStringList::FreeAll(const std::string& msg) {
  for (TOwnedObject* object : Detach()) {
    if (!FreeObject(object) && DebugMessages) ShowMessage(msg);
  }
}
