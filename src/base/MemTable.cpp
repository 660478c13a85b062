#include "base/MemTable.h"

#include <algorithm>

#include "base/AsciiText.h"
#include "base/MemTableState.h"

// The table's definition, open state, notifications, attached tables and editing. The view
// (order, filter, cursor) is in MemTableView.cpp, reading and writing values in
// MemTableValues.cpp, the records in MemStore.h.

// ---- definition and fields ----

TMemTable::TMemTable(std::string name, std::vector<TFieldDef> fields, std::string keyFields)
    : FName(std::move(name)), FView(std::make_unique<TViewState>()) {
  FView->OwnFields = fields;
  FStore = std::make_shared<TMemStore>(std::move(fields));
  FStore->Tables.push_back(this);
  std::string_view keys = keyFields;
  while (!keys.empty()) {
    const std::size_t end = std::min(keys.find(';'), keys.size());
    const std::string_view key = TrimSpacesAndTabs(keys.substr(0, end));
    keys.remove_prefix(std::min(end + 1, keys.size()));
    if (key.empty()) continue;
    FView->Order.push_back({Fields()[static_cast<std::size_t>(FieldNo(key))].Name, false});
  }
}

TMemTable::~TMemTable() {
  FEditing = false;
  FObservers.clear();
  LeaveStore();
}

const std::vector<TFieldDef>& TMemTable::Fields() const { return Store().Fields; }

int TMemTable::FieldCount() const { return static_cast<int>(Store().Fields.size()); }

int TMemTable::FieldIndex(std::string_view name) const {
  const auto& fields = Fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].Name == name) return static_cast<int>(i);
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (SameTextAscii(fields[i].Name, name)) return static_cast<int>(i);
  }
  return -1;
}

int TMemTable::FieldNo(std::string_view name) const {
  const int index = FieldIndex(name);
  if (index < 0) Fail("field '" + std::string(name) + "' not found");
  return index;
}

void TMemTable::Fail(const std::string& message) const {
  throw EMemTableError("table '" + FName + "': " + message);
}

void TMemTable::FailConversion(std::string_view value, int field, const char* kind) const {
  Fail("'" + std::string(value) + "' is not a valid " + kind + " value for field '" +
       Fields()[static_cast<std::size_t>(field)].Name + "'");
}

void TMemTable::CheckActive() const {
  if (!FActive) Fail("the table is closed");
}

void TMemTable::CheckField(int field) const {
  if (field < 0 || field >= FieldCount()) Fail("no field number " + std::to_string(field));
}

std::size_t TMemTable::MemoryUsage() const {
  return Store().MemoryUsage() + FView->Rows.capacity() * sizeof(TRecordId);
}

// ---- open state ----

void TMemTable::Open() {
  if (FActive) return;
  FActive = true;
  ViewChanged();
  CursorToFirst();
  Tell({});
}

void TMemTable::Close() {
  if (!FActive) return;
  Cancel();
  FActive = false;
  if (FMaster == nullptr) {
    ClearStore();  // tells the tables sharing the store, this one included
  } else {
    ViewChanged();
    CursorToFirst();
    Tell({});
  }
}

void TMemTable::Empty() { ClearStore(); }

void TMemTable::ClearStore() {
  TMemStore& store = Store();
  store.Clear();
  const std::vector<TMemTable*> tables = store.Tables;
  for (TMemTable* t : tables) {
    t->FEditing = false;
    t->FView->Rows = {};
    t->ViewChanged();
    t->CursorToFirst();
  }
  TellSharing({});
}

// ---- notifications ----

int TMemTable::AddObserver(TObserver observer) {
  FObservers.emplace_back(FNextObserverId, std::move(observer));
  return FNextObserverId++;
}

void TMemTable::RemoveObserver(int id) {
  std::erase_if(FObservers, [id](const auto& o) { return o.first == id; });
}

void TMemTable::Tell(const TTableChange& change) {
  if (FUpdateLock > 0 || FObservers.empty()) return;
  const auto observers = FObservers;  // an observer may remove itself
  for (const auto& o : observers) o.second(change);
}

// This table and every open table sharing its records.
void TMemTable::TellSharing(const TTableChange& change) {
  const std::vector<TMemTable*> tables = Store().Tables;
  for (TMemTable* t : tables) {
    if (t == this || t->FActive) t->Tell(change);
  }
}

void TMemTable::DisableControls() { ++FUpdateLock; }

void TMemTable::EnableControls() {
  if (FUpdateLock == 0) return;
  if (--FUpdateLock == 0) Tell({});
}

// ---- attached tables ----

void TMemTable::AttachTo(TMemTable& master) {
  if (&master == this) Fail("a table cannot be attached to itself");
  if (FMaster == &master) return;
  for (const TSortKey& key : FView->Order) master.FieldNo(key.Field);
  for (const TFilterTerm& term : FView->Filter) master.FieldNo(term.Field);
  Cancel();
  LeaveStore();
  FStore = master.FStore;
  FStore->Tables.push_back(this);
  FMaster = &master;
  ViewChanged();
  CursorToFirst();
  Tell({});
}

void TMemTable::Detach() {
  if (FMaster == nullptr) return;
  Cancel();
  LeaveStore();
  FStore = std::make_shared<TMemStore>(FView->OwnFields);
  FStore->Tables.push_back(this);
  FMaster = nullptr;
  ViewChanged();
  CursorToFirst();
  Tell({});
}

// Leaves the shared store; tables attached to this one are detached first, so that none
// is left pointing at it.
void TMemTable::LeaveStore() {
  const std::vector<TMemTable*> tables = Store().Tables;
  for (TMemTable* t : tables) {
    if (t != this && t->FMaster == this) t->Detach();
  }
  std::erase(Store().Tables, this);
}

// ---- editing ----

void TMemTable::CheckBrowseMode() {
  if (Editing()) Post();
}

void TMemTable::StartNew(TRecordId before) {
  FView->Buffer.resize(Fields().size());
  for (TFieldValue& v : FView->Buffer) {
    v.Null = true;
    v.Changed = false;
    v.Text.clear();
  }
  FView->Appending = true;
  FView->InsertBefore = before;
  FView->EditRecord = NoRecord;  // the record gets its slot when posted
  FEditing = true;
}

void TMemTable::Append() {
  CheckActive();
  CheckBrowseMode();
  StartNew(NoRecord);
}

void TMemTable::Insert() {
  CheckActive();
  CheckBrowseMode();
  StartNew(CurrentRecord());
}

void TMemTable::Edit() {
  CheckActive();
  if (Editing()) return;
  const TRecordId record = CurrentRecord();
  if (record == NoRecord) Fail("no current record to edit");
  const TMemStore& store = Store();
  FView->Buffer.resize(Fields().size());
  for (int f = 0; f < FieldCount(); ++f) {
    const TStoredValue v = store.Read(record, f);
    TFieldValue& b = FView->Buffer[static_cast<std::size_t>(f)];
    b.Null = v.Null;
    b.Changed = false;
    b.Int = v.Int;
    b.Float = v.Float;
    b.Bool = v.Bool;
    b.Text.assign(v.Text);
  }
  FView->Appending = false;
  FView->EditRecord = record;
  FEditing = true;
}

void TMemTable::Post() {
  if (!Editing()) return;
  if (FView->Appending) {
    PostNew();
  } else {
    PostEdit();
  }
}

void TMemTable::PostNew() {
  TMemStore& store = Store();
  std::size_t pos = store.RecordCount();
  if (FView->InsertBefore != NoRecord) pos = std::min(pos, store.OrderPos(FView->InsertBefore));
  const TRecordId record = store.AddRecord(pos);
  for (int f = 0; f < FieldCount(); ++f) store.Write(record, f, FView->Buffer[static_cast<std::size_t>(f)]);
  FEditing = false;
  for (TMemTable* t : store.Tables) {
    t->FView->RowsValid = false;
    t->FView->CursorKnown = false;
  }
  FView->CursorRecord = record;
  FView->CursorRow = static_cast<int>(pos);
  FView->Eof = FView->Bof = false;
  TellSharing({});
}

void TMemTable::PostEdit() {
  TMemStore& store = Store();
  const TRecordId record = FView->EditRecord;
  std::vector<char> changed(Fields().size(), 0);
  bool any = false;
  for (int f = 0; f < FieldCount(); ++f) {
    const TFieldValue& v = FView->Buffer[static_cast<std::size_t>(f)];
    if (!v.Changed) continue;
    store.Write(record, f, v);
    changed[static_cast<std::size_t>(f)] = 1;
    any = true;
  }
  FEditing = false;
  if (!any) return;
  const std::vector<TMemTable*> tables = store.Tables;
  for (TMemTable* t : tables) {
    const bool listening = t == this || t->FActive;
    if (t->ViewDependsOn(changed)) {
      t->FView->RowsValid = false;
      t->FView->CursorKnown = false;
      if (listening) t->Tell({});
    } else if (listening) {
      const int row = t->RowOf(record);
      if (row >= 0) t->Tell({TTableChange::TKind::RecordChanged, row});
    }
  }
}

void TMemTable::Cancel() {
  if (!Editing()) return;
  FEditing = false;
}

void TMemTable::Delete() {
  CheckActive();
  if (Editing()) {
    const bool appending = FView->Appending;
    Cancel();
    if (appending) return;
  }
  EnsureCursor();
  const TRecordId record = FView->CursorRecord;
  if (record == NoRecord) Fail("no current record to delete");
  const bool wasLast = FView->CursorRow == ViewCount() - 1;
  TMemStore& store = Store();
  const std::size_t pos = NaturalView() ? static_cast<std::size_t>(FView->CursorRow) : store.OrderPos(record);
  store.RemoveAt(pos);
  for (TMemTable* t : store.Tables) {
    TViewState& v = *t->FView;
    if (t->Editing() && !v.Appending && v.EditRecord == record) t->FEditing = false;
    // Ordered views drop the record in place instead of being sorted again.
    if (t->NaturalView()) {
      if (t != this && v.CursorRow > static_cast<int>(pos)) --v.CursorRow;
    } else if (v.RowsValid) {
      const auto it = std::find(v.Rows.begin(), v.Rows.end(), record);
      if (it != v.Rows.end()) {
        if (v.CursorRow > it - v.Rows.begin()) --v.CursorRow;
        v.Rows.erase(it);
      }
    }
    if (v.CursorRecord == record) v.CursorRecord = NoRecord;
    v.CursorKnown = false;
  }
  FView->Bof = false;
  FView->Eof = wasLast;
  TellSharing({});
}
