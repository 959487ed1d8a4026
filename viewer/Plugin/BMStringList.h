#pragma once
// A string list whose entries own their objects: the plug-in layer's registry
// of libraries, formats, documents and pages.

#include <memory>
#include <string>
#include <vector>

#include "platform/StringList.h"

// What a TBMStringList can own. Close releases what the object holds outside
// this process (a library, a plug-in handle) and may throw; the destructor then
// only frees memory.
class TOwnedObject {
 public:
  virtual ~TOwnedObject() = default;
  virtual void Close() {}
};

// Unsorted, duplicates allowed, look-up ignoring the case of A-Z.
class TBMStringList : private TStringList {
 public:
  TBMStringList() = default;
  TBMStringList(const TBMStringList&) = delete;
  TBMStringList& operator=(const TBMStringList&) = delete;
  // Frees every entry's object in index order; a failure of one is swallowed
  // and the walk goes on.
  ~TBMStringList();

  using TStringList::Count;
  using TStringList::IndexOf;
  using TStringList::Strings;

  int AddObject(const std::string& key, std::unique_ptr<TOwnedObject> object);
  TOwnedObject* Objects(int index) const;
  // The object at index when it is a T, else nullptr.
  template <typename T>
  T* ObjectAs(int index) const {
    return dynamic_cast<T*>(Objects(index));
  }
  // Drops the entry and hands its object to the caller.
  std::unique_ptr<TOwnedObject> Extract(int index);
  // Drops the entry and frees its object.
  void Delete(int index);
  // Frees every entry's object in index order; when one fails, msg is shown
  // (while DebugMessages is on) and the walk goes on. The list is empty after.
  void FreeAll(const std::string& msg);

 private:
  std::vector<TOwnedObject*> Detach();
};
