#pragma once
// A named, timed tree node: the visitor paths build their tree of visits and pages from it.
// A node owns its children. Destruction and the searches walk the tree without recursion, so a
// tree of any depth is safe.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TMember {
public:
  TMember() = default;
  TMember(std::string text, double time) : Text(std::move(text)), Time(time) {}
  // Frees the whole subtree; the node does not remove itself from its parent.
  ~TMember();
  TMember(const TMember&) = delete;
  TMember& operator=(const TMember&) = delete;

  TMember* Parent = nullptr;  // not owned
  std::string Text;
  double Time = 0;

  const std::vector<std::unique_ptr<TMember>>& Children() const { return FChildren; }

  void ClearChildren();
  void SetParent(TMember* node) { Parent = node; }
  int Count() const { return static_cast<int>(FChildren.size()); }
  // Makes this node the child's parent and appends it; returns the child.
  TMember* Add(std::unique_ptr<TMember> child);
  // The child at a 0-based index, or nullptr when there is none.
  TMember* Child(int index) const;

  // The searches below visit the subtree of start depth-first, a node before its children,
  // children in list order; texts compare exactly.

  // Adds child to the first node whose Text equals name and returns true; child is then
  // empty. Returns false and leaves child as it was when no node has that name.
  static bool AddToNamed(TMember& start, std::unique_ptr<TMember>& child, std::string_view name);
  // AddToNamed, or else Add to start itself; returns the child.
  static TMember* AddBelow(TMember& start, std::unique_ptr<TMember> child, std::string_view name);
  // The first node whose Time equals time exactly and whose Text equals text, or nullptr.
  static TMember* FindByTextAndTime(TMember& start, std::string_view text, double time);

private:
  std::vector<std::unique_ptr<TMember>> FChildren;
};
