#include "analyses/WSObjStrList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Notes its name in a shared log when it is freed.
class TTracked : public TListObject {
public:
  TTracked(std::vector<std::string>& freed, std::string name) : FFreed(freed), FName(std::move(name)) {}
  ~TTracked() override { FFreed.push_back(FName); }

private:
  std::vector<std::string>& FFreed;
  std::string FName;
};

TEST(TObjStrList, KeepsStringsSortedWithoutLetterCaseAndFindsThemByBisection) {
  TObjStrList list;
  for (const char* text : {"delta", "Alpha", "charlie", "Bravo", "echo"}) list.AddObject(text, nullptr);
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Strings(0), "Alpha");
  EXPECT_EQ(list.Strings(1), "Bravo");
  EXPECT_EQ(list.Strings(4), "echo");

  int index = -1;
  EXPECT_TRUE(list.Find("CHARLIE", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("cat", index));
  EXPECT_EQ(index, 2);  // where "cat" would go
  EXPECT_EQ(list.IndexOf("zulu"), -1);

  list.AddObject("ALPHA", nullptr);  // held already: no second entry, first spelling kept
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Strings(0), "Alpha");
}

TEST(TObjStrList, OwnsItsObjects) {
  std::vector<std::string> freed;
  {
    TObjStrList list;
    list.AddObject("a", std::make_unique<TTracked>(freed, "a1"));
    list.AddObject("b", std::make_unique<TTracked>(freed, "b"));
    list.AddObject("c", std::make_unique<TTracked>(freed, "c"));
    list.AddObject("d", std::make_unique<TTracked>(freed, "d"));

    list.PutObject(0, std::make_unique<TTracked>(freed, "a2"));
    EXPECT_EQ(freed, std::vector<std::string>{"a1"});

    // The object already held at an index is not freed when put there again.
    list.PutObject(0, std::unique_ptr<TListObject>(list.Objects(0)));
    EXPECT_EQ(freed.size(), 1u);

    list.Delete(1);
    EXPECT_EQ(freed.back(), "b");
    EXPECT_EQ(list.Strings(1), "c");

    list.Clear();  // from the last entry to the first
    EXPECT_EQ(freed, (std::vector<std::string>{"a1", "b", "d", "c", "a2"}));
    EXPECT_EQ(list.Count(), 0);

    list.AddObject("e", std::make_unique<TTracked>(freed, "e"));
  }
  EXPECT_EQ(freed.back(), "e");  // freed with the list
}

TEST(TObjStrList, IndexOutsideTheListRaises) {
  TObjStrList list;
  list.AddObject("a", nullptr);
  EXPECT_THROW(list.Strings(1), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.PutObject(1, nullptr), EListError);
}

}  // namespace
