#include "analyses/WSObjStrList.h"

#include "analyses/TextKeys.h"

const TObjStrList::TEntry& TObjStrList::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FItems[static_cast<std::size_t>(index)];
}

TObjStrList::TEntry& TObjStrList::Item(int index) {
  return const_cast<TEntry&>(static_cast<const TObjStrList&>(*this).Item(index));
}

bool TObjStrList::Find(std::string_view text, int& index) const {
  int low = 0;
  int high = Count() - 1;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int order = CompareTextNoCase(FItems[static_cast<std::size_t>(middle)].Text, text);
    if (order == 0) {
      index = middle;
      return true;
    }
    if (order < 0)
      low = middle + 1;
    else
      high = middle - 1;
  }
  index = low;
  return false;
}

int TObjStrList::IndexOf(std::string_view text) const {
  int index = 0;
  return Find(text, index) ? index : -1;
}

int TObjStrList::AddObject(std::string_view text, std::unique_ptr<TListObject> object) {
  int index = 0;
  if (Find(text, index)) {
    PutObject(index, std::move(object));
    return index;
  }
  FItems.insert(FItems.begin() + index, TEntry{std::string(text), std::move(object)});
  return index;
}

void TObjStrList::PutObject(int index, std::unique_ptr<TListObject> object) {
  TEntry& entry = Item(index);
  if (object.get() == entry.Object.get()) {
    (void)object.release();  // already held: owning it twice would free it twice
    return;
  }
  entry.Object = std::move(object);
}

void TObjStrList::Delete(int index) {
  Item(index);
  FItems.erase(FItems.begin() + index);
}

void TObjStrList::Clear() {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) it->Object.reset();
  FItems.clear();
}
