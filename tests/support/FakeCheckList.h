#pragma once
// A check list in memory, for the process check list of the visitor paths.
#include <string>
#include <vector>

#include "platform/CheckList.h"

namespace testsupport {

class TFakeCheckList : public ICheckList {
public:
  struct TItem {
    std::string Text;
    bool Checked = false;
  };
  std::vector<TItem> Items;  // the test checks and unchecks items here
  int Selected = -1;

  void Clear() override {
    Items.clear();
    Selected = -1;
  }
  void Add(const std::string& text, bool checked) override { Items.push_back({text, checked}); }
  int Count() const override { return static_cast<int>(Items.size()); }
  std::string Text(int index) const override { return Items.at(static_cast<std::size_t>(index)).Text; }
  bool Checked(int index) const override { return Items.at(static_cast<std::size_t>(index)).Checked; }
  void SelectFirst() override { Selected = Items.empty() ? -1 : 0; }
};

}  // namespace testsupport
