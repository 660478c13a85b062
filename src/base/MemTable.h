#pragma once
// The one in-memory table class behind every result and configuration table.
//
// Records are stored column by column: strings as indexes into an interning pool of the
// table's store, numbers in flat arrays, absent values in a bit per field and record. A table
// that holds one record per log line therefore costs a few dozen bytes per record.
//
// A table visits its records in a view: the natural (append/insert) order, or the key order
// given at definition, or the order set by OrderBy; records that fail an active filter are
// left out. Tables attached to another share its store (same records) but keep their own
// cursor, order and filter.
//
// The implementation in parts: MemStore (the records), MemTableView (view and cursor),
// MemTableValues (values), MemValueText (values as texts), MemFilter (filter texts) and
// MemTable.cpp (definition, open state, notifications, attaching, editing).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class EMemTableError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum class TFieldType { String, Integer, Boolean, DateTime, Time };

struct TFieldDef {
  std::string Name;
  TFieldType Type = TFieldType::String;
  int Size = 0;  // maximum length in bytes of a string field; longer texts are cut when stored
};

// What observers of a table (grid models, charts) are told.
struct TTableChange {
  enum class TKind {
    Reset,          // anything may have changed: records, order, filter, open state
    RecordChanged,  // the values of the record at view position Row changed
    CursorMoved,    // the current record is now at view position Row (-1: none)
  };
  TKind Kind = TKind::Reset;
  int Row = -1;
};

// The implementation's own types (MemStore.h, MemValueText.h): the records shared by a table
// and the tables attached to it, a record's slot in them (which, unlike a view row, stays
// while the table is ordered and filtered), and values as read and as written.
class TMemStore;
enum class TRecordId : std::uint32_t;
struct TStoredValue;
struct TFieldValue;

class TMemTable {
public:
  using TObserver = std::function<void(const TTableChange&)>;

  // keyFields: optional key order at definition, field names separated by ";" ("ID;TCPIP").
  TMemTable(std::string name, std::vector<TFieldDef> fields, std::string keyFields = {});
  ~TMemTable();
  TMemTable(const TMemTable&) = delete;
  TMemTable& operator=(const TMemTable&) = delete;

  const std::string& Name() const { return FName; }
  const std::vector<TFieldDef>& Fields() const;
  int FieldCount() const;
  int FieldIndex(std::string_view name) const;  // -1 when the table has no such field
  int FieldNo(std::string_view name) const;     // raises when the table has no such field

  // Open state. Closing a table discards its records; closing an attached table only ends
  // its view. Reading or writing a closed table raises.
  void Open();
  void Close();
  bool Active() const { return FActive; }
  void Empty();  // deletes every record; the table stays open

  // Editing. Append/Insert start a new record (Insert: before the current one, in natural
  // order); Edit starts changing the current one; Post stores the values set since then and
  // places the record by the order in force; Cancel drops them. Delete removes the current
  // record (the cursor goes to the record after it, or to the new last one); it costs time
  // linear in the records, so removing them all is Empty's work. While editing, moving the
  // cursor, ordering, filtering or starting another record posts first; Delete, Close and
  // Empty cancel. Edit and Delete without a current record raise.
  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  bool Editing() const { return FEditing; }

  // Cursor among the visited records.
  void First();
  void Last();
  void Next();
  void Prior();
  void MoveBy(int n);
  bool Eof() const;  // moved past the last record, or no record
  bool Bof() const;
  bool IsEmpty() const;
  int RecordCount() const;  // visited records
  int RecNo() const;        // view position of the current record, -1 when none
  void SetRecNo(int row);   // moves the cursor to a view position

  // Values of the current record (or of the record being edited). A field without a value
  // reads as "", 0, false or 0.0. Texts of non-string fields, read and written: integers in
  // decimal, booleans "True"/"False" (also "1"/"0" when set, any letter case), date-times as
  // "YYYY-MM-DDTHH:MM:SS" (also "YYYY-MM-DD"), times as "HH:MM:SS"; setting "" clears the field.
  // A string field keeps at most Size bytes (0: no limit), cut before a NUL and never inside a
  // UTF-8 sequence.
  bool IsNull(int field) const;
  std::string AsString(int field) const;  // integers, booleans and dates as text
  std::string_view AsStringView(int field) const;  // string fields only; valid until the next change
  std::int32_t AsInteger(int field) const;
  bool AsBoolean(int field) const;
  double AsDateTime(int field) const;  // also Time fields
  void SetString(int field, std::string_view value);  // converts for non-string fields
  void SetInteger(int field, std::int32_t value);
  void SetBoolean(int field, bool value);
  void SetDateTime(int field, double value);
  void ClearField(int field);
  // Sets a boolean field in every row of the view, as an edit and post per row would, with
  // one notice to the observers instead of one per row.
  void SetBooleanForAll(int field, bool value);

  // Values at a view position without moving the cursor (for grids and charts).
  bool IsNullAt(int row, int field) const;
  // A number for the text of a string field: the records of a table that hold equal texts
  // hold equal numbers, so rows can be grouped by text without comparing texts. NoTextId for
  // a field without a value. Numbers stay until the table is emptied or closed.
  static constexpr std::uint32_t NoTextId = 0xFFFFFFFF;
  std::uint32_t TextIdAt(int row, int field) const;
  std::string AsStringAt(int row, int field) const;
  std::string_view AsStringViewAt(int row, int field) const;
  std::int32_t AsIntegerAt(int row, int field) const;
  bool AsBooleanAt(int row, int field) const;
  double AsDateTimeAt(int row, int field) const;

  // Moves to the first visited record whose field equals value; texts compare without
  // letter case (A-Z) when ignoreCase. Returns whether one was found (the cursor stays
  // otherwise). An empty value finds a record without a value in that field.
  bool Locate(std::string_view field, std::string_view value, bool ignoreCase);

  // From now on records are visited ordered by that field (stable: records with equal values
  // keep the order they had before); cursor to the first. Absent values come first ascending.
  void OrderBy(std::string_view field, bool descending);

  // Filter texts: comparisons "Field = value" / "Field <> value" joined by " AND ";
  // a text value stands in apostrophes, an integer in decimal. A field without a value equals
  // only an empty value. Raises on a malformed text or an unknown field.
  void SetFilterText(std::string text);
  const std::string& FilterText() const { return FFilterText; }
  void SetFiltered(bool on);
  bool Filtered() const { return FFiltered; }

  // Counted: while above 0, observers are not told about changes; at 0 they get a Reset.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FUpdateLock > 0; }

  // Shares the other table's records and fields; detaching gives this table an empty store
  // of its own with its own fields. Detaching or destroying a table detaches the tables
  // attached to it.
  void AttachTo(TMemTable& master);
  void Detach();
  TMemTable* Master() const { return FMaster; }

  int AddObserver(TObserver observer);
  void RemoveObserver(int id);

  // Bytes held by the records and strings of the store and by this table's view.
  std::size_t MemoryUsage() const;

private:
  TMemStore& Store() const { return *FStore; }
  [[noreturn]] void Fail(const std::string& message) const;
  [[noreturn]] void FailConversion(std::string_view value, int field, const char* kind) const;
  void CheckActive() const;
  void CheckField(int field) const;
  TFieldValue& EditValue(int field);
  void CheckBrowseMode();
  void StartNew(TRecordId before);
  void PostNew();
  void PostEdit();

  // The view (MemTableView.cpp).
  bool FilterActive() const;
  bool NaturalView() const;
  void EnsureRows() const;
  void EnsureCursor() const;
  int ViewCount() const;
  TRecordId RowRecord(int row) const;
  TRecordId CurrentRecord() const;
  int RowOf(TRecordId record) const;
  bool ViewDependsOn(const std::vector<char>& changedFields) const;
  void ViewChanged();
  void CursorToFirst();
  void MoveCursor(int row);

  TStoredValue ReadCurrent(int field) const;
  TStoredValue ReadAt(int row, int field) const;
  std::string TextOf(const TStoredValue& value, int field) const;
  std::int32_t IntegerOf(const TStoredValue& value, int field) const;
  bool BooleanOf(const TStoredValue& value, int field) const;
  double DateTimeOf(const TStoredValue& value, int field) const;

  void Tell(const TTableChange& change);
  void TellSharing(const TTableChange& change);
  void ClearStore();
  void LeaveStore();

  // Implementation state; see MemTableView.h.
  std::string FName;
  std::shared_ptr<TMemStore> FStore;
  TMemTable* FMaster = nullptr;
  bool FActive = false;
  std::string FFilterText;
  bool FFiltered = false;
  int FUpdateLock = 0;
  bool FEditing = false;  // a record is being appended or edited
  struct TViewState;
  std::unique_ptr<TViewState> FView;
  std::vector<std::pair<int, TObserver>> FObservers;
  int FNextObserverId = 1;
};
