#include "base/MemTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<TFieldDef> IdNameFields() {
  return {{"ID", TFieldType::Integer, 0}, {"Name", TFieldType::String, 15}};
}

void AddRow(TMemTable& t, int id, const std::string& name) {
  t.Append();
  t.SetInteger(0, id);
  t.SetString(1, name);
  t.Post();
}

// Walks the visited records from the first, as the analyses do.
std::vector<int> VisitedIds(TMemTable& t) {
  std::vector<int> ids;
  for (t.First(); !t.Eof(); t.Next()) ids.push_back(t.AsInteger(0));
  return ids;
}

std::vector<std::string> VisitedNames(TMemTable& t) {
  std::vector<std::string> names;
  for (int row = 0; row < t.RecordCount(); ++row) names.push_back(t.AsStringAt(row, 1));
  return names;
}

struct TChangeLog {
  std::vector<TTableChange> Changes;
  TMemTable::TObserver Observer() {
    return [this](const TTableChange& c) { Changes.push_back(c); };
  }
  int Count(TTableChange::TKind kind) const {
    int n = 0;
    for (const auto& c : Changes) n += c.Kind == kind;
    return n;
  }
};

TEST(MemTable, CursorWalksAppendedRecordsInOrder) {
  TMemTable t("kbmTest", IdNameFields());
  t.Open();
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RecNo(), -1);
  for (int id : {7, 3, 5}) AddRow(t, id, "n" + std::to_string(id));

  EXPECT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(t.AsInteger(0), 5);  // the posted record is current
  EXPECT_EQ(VisitedIds(t), (std::vector<int>{7, 3, 5}));
  EXPECT_EQ(t.RecNo(), 2);  // Next at the last record stays there

  t.First();
  EXPECT_TRUE(t.Bof());
  t.Prior();
  EXPECT_EQ(t.RecNo(), 0);
  t.MoveBy(10);
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.AsInteger(0), 5);
  t.MoveBy(-1);
  EXPECT_FALSE(t.Eof());
  EXPECT_EQ(t.AsString(1), "n3");
  t.SetRecNo(0);
  EXPECT_EQ(t.AsInteger(0), 7);
  EXPECT_THROW(t.SetRecNo(3), EMemTableError);

  t.Last();
  std::vector<int> backwards;
  for (; !t.Bof(); t.Prior()) backwards.push_back(t.AsInteger(0));
  EXPECT_EQ(backwards, (std::vector<int>{5, 3, 7}));
}

TEST(MemTable, AbsentValuesReadAsEmptyZeroFalse) {
  TMemTable t("kbmTest", {{"I", TFieldType::Integer}, {"S", TFieldType::String, 5}, {"B", TFieldType::Boolean},
                          {"D", TFieldType::DateTime}});
  t.Open();
  t.Append();
  t.SetInteger(0, 4);
  t.ClearField(0);
  t.Post();
  for (int f = 0; f < 4; ++f) EXPECT_TRUE(t.IsNull(f)) << f;
  EXPECT_EQ(t.AsInteger(0), 0);
  EXPECT_EQ(t.AsString(1), "");
  EXPECT_FALSE(t.AsBoolean(2));
  EXPECT_EQ(t.AsDateTime(3), 0.0);
  EXPECT_EQ(t.AsString(3), "");
}

TEST(MemTable, ValuesAsTextAndFromText) {
  TMemTable t("kbmTest", {{"I", TFieldType::Integer}, {"B", TFieldType::Boolean}, {"D", TFieldType::DateTime},
                          {"T", TFieldType::Time}, {"S", TFieldType::String, 30}});
  t.Open();
  t.Append();
  t.SetString(0, "-42");
  t.SetString(1, "true");
  t.SetString(2, "2024-03-01T10:20:30");
  t.SetString(3, "01:02:03");
  t.SetInteger(4, 12);
  t.Post();
  EXPECT_EQ(t.AsInteger(0), -42);
  EXPECT_EQ(t.AsString(0), "-42");
  EXPECT_EQ(t.AsString(1), "True");
  EXPECT_EQ(t.AsString(2), "2024-03-01T10:20:30");
  EXPECT_EQ(t.AsString(3), "01:02:03");
  EXPECT_NEAR(t.AsDateTime(3), (3600 + 120 + 3) / 86400.0, 1e-9);
  EXPECT_EQ(t.AsString(4), "12");
  EXPECT_EQ(t.AsInteger(4), 12);

  t.Edit();
  t.SetString(0, "");  // an empty text clears a non-string field
  t.SetBoolean(1, false);
  t.Post();
  EXPECT_TRUE(t.IsNull(0));
  EXPECT_EQ(t.AsString(1), "False");
}

TEST(MemTable, TextThatIsNoNumberRaisesNamingValueAndField) {
  TMemTable t("kbmTest", IdNameFields());
  t.Open();
  t.Append();
  for (const char* bad : {"12a", "abc", "99999999999", "1.5"}) {
    try {
      t.SetString(0, bad);
      FAIL() << bad;
    } catch (const EMemTableError& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("'") + bad + "'"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("ID"), std::string::npos) << e.what();
    }
  }
  t.SetString(0, " 12 ");
  EXPECT_EQ(t.AsInteger(0), 12);
}

TEST(MemTable, StringsAreCutToTheFieldSizeInBytes) {
  struct TCase {
    int Size;
    std::string Text;
    std::string Stored;
  };
  const std::vector<TCase> cases = {
      {15, "abcdefghijklmnopqrst", "abcdefghijklmno"},
      {15, "short", "short"},
      {2, "a\xC3\xA9", "a"},                      // é would be split: the whole sequence goes
      {3, "a\xC3\xA9", "a\xC3\xA9"},
      {3, "ab\xE2\x82\xAC", "ab"},                // euro sign, 3 bytes
      {4, "a\xF0\x9F\x98\x80z", "a"},             // 4-byte sequence cut in its middle
      {3, "ab\xA3\xA3", "ab\xA3"},                // single-byte text: cut where it is
      {10, std::string("ab\0cd", 5), "ab"},       // a NUL ends the stored text
      {0, std::string(300, 'x'), std::string(300, 'x')},  // size 0: no limit
  };
  for (const TCase& c : cases) {
    TMemTable t("kbmTest", {{"S", TFieldType::String, c.Size}});
    t.Open();
    t.Append();
    t.SetString(0, c.Text);
    t.Post();
    EXPECT_EQ(t.AsString(0), c.Stored) << c.Size << " " << c.Text;
  }
}

TEST(MemTable, ClosedTableAndUnknownFieldsRaiseNamingThem) {
  TMemTable t("kbmClosed", IdNameFields());
  EXPECT_EQ(t.RecordCount(), 0);
  EXPECT_TRUE(t.Eof());
  for (auto op : std::vector<std::function<void()>>{[&] { t.AsString(0); }, [&] { t.Append(); },
                                                    [&] { t.First(); }, [&] { t.IsNullAt(0, 0); }}) {
    try {
      op();
      FAIL();
    } catch (const EMemTableError& e) {
      EXPECT_NE(std::string(e.what()).find("kbmClosed"), std::string::npos) << e.what();
    }
  }
  t.Open();
  try {
    t.FieldNo("Nope");
    FAIL();
  } catch (const EMemTableError& e) {
    EXPECT_NE(std::string(e.what()).find("Nope"), std::string::npos);
  }
  EXPECT_EQ(t.FieldIndex("Nope"), -1);
  EXPECT_EQ(t.FieldIndex("name"), 1);
  EXPECT_THROW(t.AsString(2), EMemTableError);
  EXPECT_THROW(t.SetString(0, "1"), EMemTableError);  // not being edited
  EXPECT_THROW(t.Edit(), EMemTableError);             // no record
  EXPECT_THROW(t.Delete(), EMemTableError);
}

TEST(MemTable, CloseAndReopenLeavesTheTableEmpty) {
  TMemTable t("kbmTest", IdNameFields());
  t.Open();
  AddRow(t, 1, "a");
  AddRow(t, 2, "b");
  t.Close();
  EXPECT_FALSE(t.Active());
  t.Open();
  EXPECT_TRUE(t.IsEmpty());
  AddRow(t, 3, "c");
  t.Empty();
  EXPECT_TRUE(t.Active());
  EXPECT_EQ(t.RecordCount(), 0);
  AddRow(t, 4, "d");
  EXPECT_EQ(VisitedIds(t), (std::vector<int>{4}));
}

TEST(MemTable, EditPostCancelInsertDelete) {
  TMemTable t("kbmTest", IdNameFields());
  t.Open();
  for (int id : {1, 2, 3}) AddRow(t, id, "n" + std::to_string(id));

  t.First();
  t.Edit();
  t.SetString(1, "changed");
  EXPECT_EQ(t.AsString(1), "changed");  // reads see the edit
  EXPECT_EQ(t.AsStringAt(0, 1), "n1");  // the record does not yet
  t.Cancel();
  EXPECT_EQ(t.AsString(1), "n1");

  t.Edit();
  t.SetString(1, "first");
  t.Next();  // moving posts the edit
  EXPECT_FALSE(t.Editing());
  EXPECT_EQ(t.AsStringAt(0, 1), "first");

  t.Insert();  // before the current record (ID 2)
  t.SetInteger(0, 9);
  t.Post();
  EXPECT_EQ(t.AsInteger(0), 9);
  EXPECT_EQ(VisitedIds(t), (std::vector<int>{1, 9, 2, 3}));

  t.SetRecNo(1);
  t.Delete();
  EXPECT_EQ(t.AsInteger(0), 2);  // the next record takes its place
  EXPECT_FALSE(t.Eof());
  t.Last();
  t.Delete();
  EXPECT_EQ(t.AsInteger(0), 2);  // the new last one
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(VisitedIds(t), (std::vector<int>{1, 2}));

  t.Append();
  t.SetInteger(0, 5);
  t.Delete();  // while appending: only cancels
  EXPECT_EQ(t.RecordCount(), 2);

  for (t.First(); !t.Eof();) t.Delete();
  EXPECT_TRUE(t.IsEmpty());
}

TEST(MemTable, KeyOrderPlacesPostedRecords) {
  TMemTable t("kbmTest", {{"ID", TFieldType::Integer}, {"TCPIP", TFieldType::String, 20}}, "ID;TCPIP");
  t.Open();
  const std::vector<std::pair<int, std::string>> rows = {{2, "b"}, {1, "z"}, {2, "a"}, {1, "y"}};
  for (const auto& [id, ip] : rows) AddRow(t, id, ip);
  EXPECT_EQ(t.AsInteger(0), 1);  // the cursor follows the posted record
  EXPECT_EQ(t.AsString(1), "y");
  EXPECT_EQ(t.RecNo(), 0);
  EXPECT_EQ(VisitedNames(t), (std::vector<std::string>{"y", "z", "a", "b"}));

  t.Locate("TCPIP", "z", false);
  t.Edit();
  t.SetInteger(0, 3);
  t.Post();
  EXPECT_EQ(t.RecNo(), 3);
  EXPECT_EQ(VisitedNames(t), (std::vector<std::string>{"y", "a", "b", "z"}));
  EXPECT_THROW(TMemTable("kbmBad", IdNameFields(), "ID;Missing"), EMemTableError);
}

TEST(MemTable, OrderByIsStableAndCanBeReversed) {
  TMemTable t("kbmTest", IdNameFields());
  t.Open();
  AddRow(t, 5, "a");
  AddRow(t, 9, "b");
  AddRow(t, 2, "c");
  t.OrderBy("ID", true);
  EXPECT_EQ(VisitedIds(t), (std::vector<int>{9, 5, 2}));
  t.OrderBy("ID", false);
  EXPECT_EQ(VisitedIds(t), (std::vector<int>{2, 5, 9}));

  // Equal values keep the order they had before.
  TMemTable s("kbmTest", {{"Sum", TFieldType::Integer}, {"Name", TFieldType::String, 5}, {"T", TFieldType::Time}});
  s.Open();
  const std::vector<std::pair<int, std::string>> rows = {{1, "d"}, {3, "c"}, {1, "a"}, {3, "b"}};
  for (const auto& [sum, name] : rows) AddRow(s, sum, name);
  s.OrderBy("Name", false);
  s.OrderBy("Sum", true);
  EXPECT_EQ(VisitedNames(s), (std::vector<std::string>{"b", "c", "a", "d"}));
  s.OrderBy("T", false);  // all absent: the previous order stays
  EXPECT_EQ(VisitedNames(s), (std::vector<std::string>{"b", "c", "a", "d"}));
  EXPECT_EQ(s.RecNo(), 0);
}

TEST(MemTable, FilterLeavesRecordsOutButAnAttachedTableSeesAll) {
  TMemTable chart("kbmChart", IdNameFields());
  TMemTable sums("kbmSummen", IdNameFields());
  sums.AttachTo(chart);
  chart.Open();
  sums.Open();
  for (int id = 0; id < 4; ++id) AddRow(chart, id, "10.1.2." + std::to_string(id));

  chart.SetFilterText("ID <> 2 AND ID <> 0");
  EXPECT_EQ(chart.RecordCount(), 4);  // text set, switch still off
  chart.SetFiltered(true);
  EXPECT_EQ(VisitedIds(chart), (std::vector<int>{1, 3}));
  EXPECT_EQ(chart.RecordCount(), 2);
  EXPECT_EQ(VisitedIds(sums), (std::vector<int>{0, 1, 2, 3}));

  chart.SetFilterText("Name='10.1.2.3'");
  EXPECT_EQ(VisitedIds(chart), (std::vector<int>{3}));
  chart.SetFilterText("Name = '10.1.2.9'");
  EXPECT_TRUE(chart.IsEmpty());
  chart.SetFilterText("ID = 1 AND Name='10.1.2.1'");
  EXPECT_EQ(VisitedIds(chart), (std::vector<int>{1}));

  // A record edited out of the filter leaves the view.
  sums.Locate("ID", "1", false);
  sums.Edit();
  sums.SetInteger(0, 7);
  sums.Post();
  EXPECT_TRUE(chart.IsEmpty());

  chart.SetFiltered(false);
  EXPECT_EQ(chart.RecordCount(), 4);
  for (const char* bad : {"ID <>", "ID < 2", "Nope = 1", "ID = 'x'", "Name = 'open", "ID = 1 AND"}) {
    EXPECT_THROW(chart.SetFilterText(bad), EMemTableError) << bad;
  }
  EXPECT_EQ(chart.FilterText(), "ID = 1 AND Name='10.1.2.1'");
}

TEST(MemTable, LocateWithAndWithoutLetterCase) {
  TMemTable t("kbmTest", IdNameFields());
  t.Open();
  AddRow(t, 1, "bar");
  AddRow(t, 2, "FOO");
  t.First();
  EXPECT_FALSE(t.Locate("Name", "foo", false));
  EXPECT_EQ(t.RecNo(), 0);
  EXPECT_TRUE(t.Locate("Name", "foo", true));
  EXPECT_EQ(t.AsInteger(0), 2);
  EXPECT_TRUE(t.Locate("ID", "1", false));
  EXPECT_EQ(t.AsString(1), "bar");
  EXPECT_FALSE(t.Locate("ID", "x", false));
  EXPECT_THROW(t.Locate("Nope", "1", false), EMemTableError);
}

TEST(MemTable, AttachedTablesShareRecordsNotCursorOrderOrFilter) {
  TChangeLog masterLog, attachedLog;
  auto master = std::make_unique<TMemTable>("kbmChart", IdNameFields());
  TMemTable attached("kbmSummen", IdNameFields());
  master->AddObserver(masterLog.Observer());
  attached.AddObserver(attachedLog.Observer());
  attached.AttachTo(*master);
  EXPECT_EQ(attached.Master(), master.get());
  master->Open();
  attached.Open();
  AddRow(*master, 2, "a");
  AddRow(attached, 1, "b");  // through either table
  EXPECT_EQ(VisitedIds(*master), (std::vector<int>{2, 1}));
  EXPECT_GE(masterLog.Count(TTableChange::TKind::Reset), 2);
  EXPECT_GE(attachedLog.Count(TTableChange::TKind::Reset), 2);

  attached.OrderBy("ID", false);
  EXPECT_EQ(VisitedIds(attached), (std::vector<int>{1, 2}));
  EXPECT_EQ(VisitedIds(*master), (std::vector<int>{2, 1}));
  master->First();
  attached.Last();
  EXPECT_EQ(master->AsInteger(0), 2);
  EXPECT_EQ(attached.AsInteger(0), 2);
  attached.First();
  attached.Delete();
  EXPECT_EQ(VisitedIds(*master), (std::vector<int>{2}));

  attached.Close();  // ends only its view
  EXPECT_EQ(master->RecordCount(), 1);
  attached.Open();
  EXPECT_EQ(attached.RecordCount(), 1);
  master->Close();  // the owner discards the records
  EXPECT_TRUE(attached.IsEmpty());
  master->Open();
  AddRow(*master, 4, "c");
  EXPECT_EQ(attached.RecordCount(), 1);

  master.reset();  // destroying the master detaches the attached table
  EXPECT_EQ(attached.Master(), nullptr);
  EXPECT_TRUE(attached.IsEmpty());
  AddRow(attached, 5, "d");
  EXPECT_EQ(VisitedIds(attached), (std::vector<int>{5}));
}

TEST(MemTable, DetachGivesAnEmptyStoreOfItsOwn) {
  TMemTable master("kbmA", IdNameFields());
  TMemTable attached("kbmB", {{"Other", TFieldType::Boolean}});
  master.Open();
  AddRow(master, 1, "x");
  attached.AttachTo(master);
  attached.Open();
  EXPECT_EQ(attached.FieldCount(), 2);  // the master's fields
  EXPECT_EQ(attached.AsString(1), "x");
  attached.Detach();
  EXPECT_EQ(attached.FieldCount(), 1);
  EXPECT_TRUE(attached.IsEmpty());
  EXPECT_EQ(master.RecordCount(), 1);
  EXPECT_THROW(master.AttachTo(master), EMemTableError);
}

TEST(MemTable, ObserversHearResetsRecordChangesAndCursorMoves) {
  using K = TTableChange::TKind;
  TMemTable t("kbmTest", IdNameFields());
  TChangeLog log;
  const int id = t.AddObserver(log.Observer());
  t.Open();
  ASSERT_EQ(log.Changes.size(), 1u);
  EXPECT_EQ(log.Changes[0].Kind, K::Reset);

  t.DisableControls();
  t.DisableControls();
  for (int i = 0; i < 3; ++i) AddRow(t, i, "x");
  t.OrderBy("Name", false);
  t.EnableControls();
  EXPECT_TRUE(t.ControlsDisabled());
  EXPECT_EQ(log.Changes.size(), 1u);  // nothing while suspended
  t.EnableControls();
  ASSERT_EQ(log.Changes.size(), 2u);  // one reset at 0
  EXPECT_EQ(log.Changes[1].Kind, K::Reset);

  log.Changes.clear();
  t.First();
  t.Next();
  ASSERT_EQ(log.Changes.size(), 1u);
  EXPECT_EQ(log.Changes[0].Kind, K::CursorMoved);
  EXPECT_EQ(log.Changes[0].Row, 1);

  log.Changes.clear();
  t.Edit();
  t.SetInteger(0, 10);  // not the order field: the row stays
  t.Post();
  ASSERT_EQ(log.Changes.size(), 1u);
  EXPECT_EQ(log.Changes[0].Kind, K::RecordChanged);
  EXPECT_EQ(log.Changes[0].Row, 1);

  log.Changes.clear();
  t.Edit();
  t.SetString(1, "a");  // the order field: rows may move
  t.Post();
  ASSERT_EQ(log.Changes.size(), 1u);
  EXPECT_EQ(log.Changes[0].Kind, K::Reset);
  EXPECT_EQ(t.RecNo(), 0);

  log.Changes.clear();
  t.SetFilterText("ID = 10");
  t.SetFiltered(true);
  t.Empty();
  t.Close();
  EXPECT_EQ(log.Count(K::Reset), 3);

  t.RemoveObserver(id);
  t.Open();
  EXPECT_EQ(log.Changes.size(), 3u);
}

TEST(MemTable, FillingAKeyedTableSortsOnceWhenViewed) {
  // Sorting on every append would make this take hours.
  TMemTable t("kbmTest", IdNameFields(), "ID");
  t.Open();
  t.DisableControls();
  const int count = 200000;
  for (int i = count; i > 0; --i) AddRow(t, i, i % 2 ? "odd" : "even");
  t.EnableControls();
  ASSERT_EQ(t.RecordCount(), count);
  for (int row : {0, 1, count / 2, count - 1}) EXPECT_EQ(t.AsIntegerAt(row, 0), row + 1);
  EXPECT_EQ(t.AsIntegerAt(0, 0), 1);
}

TEST(MemTable, OneRecordPerLogLineStaysSmall) {
  TMemTable t("kbmData", {{"ID", TFieldType::Integer},
                          {"TCPIP", TFieldType::String, 15},
                          {"DateTime", TFieldType::DateTime},
                          {"to", TFieldType::String, 255},
                          {"from", TFieldType::String, 255},
                          {"checked", TFieldType::Boolean}});
  t.Open();
  const int count = 300000;
  for (int i = 0; i < count; ++i) {
    t.Append();
    t.SetInteger(0, i);
    t.SetString(1, "10.0." + std::to_string(i % 250) + "." + std::to_string(i % 7));
    t.SetDateTime(2, 45000 + i / 86400.0);
    t.SetString(3, "/page/" + std::to_string(i % 500) + ".html");
    t.SetString(4, "/index.html");
    t.SetBoolean(5, i % 3 == 0);
    t.Post();
  }
  t.OrderBy("DateTime", false);
  ASSERT_EQ(t.RecordCount(), count);
  EXPECT_EQ(t.AsStringAt(count - 1, 4), "/index.html");
  EXPECT_LT(t.MemoryUsage() / count, 40u);
}

}  // namespace

namespace {

// The visible rows of a filtered table get the value; a view ordered by the field is rebuilt.
TEST(MemTable, SetBooleanForAllSetsTheViewsRowsWithOneNotice) {
  TMemTable t("kbmTest", {{"ID", TFieldType::Integer, 0}, {"Checked", TFieldType::Boolean, 0}});
  t.Open();
  for (int id : {1, 2, 3}) {
    t.Append();
    t.SetInteger(0, id);
    t.SetBoolean(1, false);
    t.Post();
  }
  t.SetFilterText("ID <> 2");
  t.SetFiltered(true);
  TChangeLog log;
  t.AddObserver(log.Observer());
  t.SetBooleanForAll(1, true);
  EXPECT_EQ(log.Changes.size(), 1u);
  EXPECT_EQ(log.Count(TTableChange::TKind::Reset), 1);
  t.SetFiltered(false);
  std::vector<bool> checked;
  for (t.First(); !t.Eof(); t.Next()) checked.push_back(t.AsBoolean(1));
  EXPECT_EQ(checked, (std::vector<bool>{true, false, true}));

  t.OrderBy("Checked", false);
  t.SetBooleanForAll(1, false);
  for (t.First(); !t.Eof(); t.Next()) EXPECT_FALSE(t.AsBoolean(1));
  EXPECT_THROW(t.SetBooleanForAll(0, true), EMemTableError);
}

}  // namespace
