#pragma once
// A list of texts with a check box each, as the process check list shows its page groups.
#include <string>

class ICheckList {
public:
  virtual ~ICheckList() = default;
  virtual void Clear() = 0;
  virtual void Add(const std::string& text, bool checked) = 0;  // as the last item
  virtual int Count() const = 0;
  virtual std::string Text(int index) const = 0;
  virtual bool Checked(int index) const = 0;
  virtual void SelectFirst() = 0;
};
