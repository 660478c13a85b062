#include "analyses/WSMember.h"

#include <utility>

namespace {

// The first node of the subtree, in depth-first order, for which found holds.
template <class TPredicate>
TMember* FindFirst(TMember& start, TPredicate found) {
  std::vector<TMember*> pending{&start};
  while (!pending.empty()) {
    TMember* node = pending.back();
    pending.pop_back();
    if (found(*node)) return node;
    const auto& children = node->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
  }
  return nullptr;
}

}  // namespace

TMember::~TMember() { ClearChildren(); }

void TMember::ClearChildren() {
  // Each node is freed only once its children have been moved out, so freeing never recurses.
  std::vector<std::unique_ptr<TMember>> pending = std::move(FChildren);
  FChildren.clear();
  while (!pending.empty()) {
    std::unique_ptr<TMember> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->FChildren) pending.push_back(std::move(child));
    node->FChildren.clear();
  }
}

TMember* TMember::Add(std::unique_ptr<TMember> child) {
  child->Parent = this;
  FChildren.push_back(std::move(child));
  return FChildren.back().get();
}

TMember* TMember::Child(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FChildren[static_cast<std::size_t>(index)].get();
}

bool TMember::AddToNamed(TMember& start, std::unique_ptr<TMember>& child, std::string_view name) {
  TMember* target = FindFirst(start, [name](const TMember& node) { return node.Text == name; });
  if (!target) return false;
  target->Add(std::move(child));
  return true;
}

TMember* TMember::AddBelow(TMember& start, std::unique_ptr<TMember> child, std::string_view name) {
  TMember* added = child.get();
  if (!AddToNamed(start, child, name)) start.Add(std::move(child));
  return added;
}

TMember* TMember::FindByTextAndTime(TMember& start, std::string_view text, double time) {
  return FindFirst(start, [text, time](const TMember& node) { return node.Time == time && node.Text == text; });
}
