#pragma once
// A sorted string list that owns the objects attached to its strings, and the boxed date-time
// that the visitor lookup attaches to client addresses.
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The root of the objects an owning list can hold.
class TListObject {
public:
  virtual ~TListObject() = default;
};

class TDateTimeCont : public TListObject {
public:
  explicit TDateTimeCont(double dateTime) : FDateTime(dateTime) {}
  double FDateTime;
};

// An index outside the list.
class EListError : public std::out_of_range {
public:
  using std::out_of_range::out_of_range;
};

// Strings ascending without regard to letter case, never held twice, found by bisection.
class TObjStrList {
public:
  TObjStrList() = default;
  ~TObjStrList() { Clear(); }
  TObjStrList(const TObjStrList&) = delete;
  TObjStrList& operator=(const TObjStrList&) = delete;

  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int index) const { return Item(index).Text; }
  TListObject* Objects(int index) const { return Item(index).Object.get(); }

  // True when the list holds text; index is then its position, otherwise the position where
  // it would be inserted.
  bool Find(std::string_view text, int& index) const;
  int IndexOf(std::string_view text) const;  // -1 when absent

  // Inserts text at its sorted place with the object and returns the position. A text the
  // list already holds keeps its spelling and takes the object (the held one is freed).
  int AddObject(std::string_view text, std::unique_ptr<TListObject> object);
  // Frees the held object unless it is the same one, then stores object.
  void PutObject(int index, std::unique_ptr<TListObject> object);
  // Frees the object at index and removes the entry.
  void Delete(int index);
  // Frees every object, from the last entry to the first, then removes all strings.
  void Clear();

private:
  struct TEntry {
    std::string Text;
    std::unique_ptr<TListObject> Object;
  };
  const TEntry& Item(int index) const;
  TEntry& Item(int index);

  std::vector<TEntry> FItems;
};
