#include "analyses/WSMember.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TMember> Node(const std::string& text, double time = 0) {
  return std::make_unique<TMember>(text, time);
}

// root
// +- a
// |  +- x (time 1)
// |  +- b
// +- x (time 2)
struct TSampleTree {
  TMember root;
  TMember* a;
  TMember* x1;
  TMember* b;
  TMember* x2;
  TSampleTree() {
    root.Text = "root";
    a = root.Add(Node("a"));
    x1 = a->Add(Node("x", 1));
    b = a->Add(Node("b"));
    x2 = root.Add(Node("x", 2));
  }
};

TEST(TMember, NewNodeIsEmpty) {
  TMember node;
  EXPECT_EQ(node.Parent, nullptr);
  EXPECT_EQ(node.Count(), 0);
  EXPECT_EQ(node.Text, "");
  EXPECT_EQ(node.Time, 0);
}

TEST(TMember, AddSetsParentAndChildIsBoundedByCount) {
  TSampleTree tree;
  EXPECT_EQ(tree.a->Parent, &tree.root);
  EXPECT_EQ(tree.x1->Parent, tree.a);
  EXPECT_EQ(tree.root.Count(), 2);
  EXPECT_EQ(tree.root.Child(0), tree.a);
  EXPECT_EQ(tree.root.Child(1), tree.x2);
  EXPECT_EQ(tree.root.Child(2), nullptr);  // index equal to Count
  EXPECT_EQ(tree.root.Child(-1), nullptr);
}

TEST(TMember, AddBelowUsesTheFirstNamedNodeDepthFirst) {
  TSampleTree tree;
  // "x" names two nodes: the one inside "a" comes first, before the later sibling of "a".
  TMember* added = TMember::AddBelow(tree.root, Node("new"), "x");
  EXPECT_EQ(added->Parent, tree.x1);
  EXPECT_EQ(tree.x1->Child(0), added);
  EXPECT_EQ(tree.x2->Count(), 0);
}

TEST(TMember, AddBelowAppendsToTheStartNodeWhenNoNodeHasTheName) {
  TSampleTree tree;
  TMember* added = TMember::AddBelow(*tree.a, Node("new"), "nowhere");
  EXPECT_EQ(added->Parent, tree.a);
  EXPECT_EQ(tree.a->Child(2), added);
}

TEST(TMember, AddToNamedSearchesOnlyBelowTheStartNodeAndKeepsTheChildOnFailure) {
  TSampleTree tree;
  auto child = Node("new");
  EXPECT_FALSE(TMember::AddToNamed(*tree.a, child, "root"));
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(TMember::AddToNamed(tree.root, child, "X"));  // names compare exactly
  EXPECT_TRUE(TMember::AddToNamed(tree.root, child, "b"));
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(tree.b->Count(), 1);
  EXPECT_EQ(tree.b->Child(0)->Text, "new");
}

TEST(TMember, FindByTextAndTimeNeedsBothToMatch) {
  TSampleTree tree;
  EXPECT_EQ(TMember::FindByTextAndTime(tree.root, "x", 2), tree.x2);
  EXPECT_EQ(TMember::FindByTextAndTime(tree.root, "x", 1), tree.x1);
  EXPECT_EQ(TMember::FindByTextAndTime(tree.root, "x", 3), nullptr);
  EXPECT_EQ(TMember::FindByTextAndTime(tree.root, "b", 1), nullptr);
  EXPECT_EQ(TMember::FindByTextAndTime(*tree.a, "x", 2), nullptr);
  EXPECT_EQ(TMember::FindByTextAndTime(tree.root, "root", 0), &tree.root);
}

TEST(TMember, ClearChildrenEmptiesTheNode) {
  TSampleTree tree;
  tree.a->ClearChildren();
  EXPECT_EQ(tree.a->Count(), 0);
  EXPECT_EQ(TMember::FindByTextAndTime(tree.root, "x", 1), nullptr);
  tree.root.ClearChildren();
  EXPECT_EQ(tree.root.Count(), 0);
}

TEST(TMember, DeepChainsAreSearchedAndFreedWithoutRecursion) {
  constexpr int depth = 300000;
  auto root = Node("root");
  TMember* last = root.get();
  for (int i = 0; i < depth; ++i) last = last->Add(Node("page", i));
  EXPECT_EQ(TMember::FindByTextAndTime(*root, "page", depth - 1), last);
  EXPECT_EQ(TMember::AddBelow(*root, Node("end"), "missing")->Parent, root.get());
  root.reset();  // would overflow the stack if freeing recursed
}

}  // namespace
