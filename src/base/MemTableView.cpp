// The view of a memory table: the records it visits in its order and through its filter,
// the cursor among them, ordering, filtering and Locate.
#include <algorithm>

#include "base/AsciiText.h"
#include "base/MemTable.h"
#include "base/MemTableState.h"

void TMemTable::ViewChanged() {
  FView->RowsValid = false;
  FView->CursorKnown = false;
  if (NaturalView()) FView->Rows = {};
}

void TMemTable::EnsureRows() const {
  if (!FActive || NaturalView() || FView->RowsValid) return;
  const TMemStore& store = Store();
  std::vector<TMemProbe> probes;
  if (FilterActive()) {
    for (const TFilterTerm& term : FView->Filter) {
      const int field = FieldNo(term.Field);
      TFieldValue value;
      if (!ParseFieldText(Fields()[static_cast<std::size_t>(field)].Type, term.Value, value))
        FailConversion(term.Value, field, FieldTypeName(Fields()[static_cast<std::size_t>(field)].Type));
      probes.push_back(store.MakeProbe(field, value, false));
    }
  }
  std::vector<std::pair<int, bool>> keys;
  for (const TSortKey& key : FView->Order) keys.emplace_back(FieldNo(key.Field), key.Descending);

  auto& rows = FView->Rows;
  rows.clear();
  const std::size_t count = store.RecordCount();
  rows.reserve(count);
  for (std::size_t pos = 0; pos < count; ++pos) {
    const TRecordId record = store.OrderAt(pos);
    bool visible = true;
    for (std::size_t i = 0; i < probes.size() && visible; ++i) {
      visible = store.Matches(record, probes[i]) != FView->Filter[i].NotEqual;
    }
    if (visible) rows.push_back(record);
  }
  if (!keys.empty()) {
    auto before = [&](TRecordId a, TRecordId b) {
      for (const auto& [field, descending] : keys) {
        const int c = store.Compare(a, b, field);
        if (c != 0) return descending ? c > 0 : c < 0;
      }
      return false;
    };
    // Records often come in the order asked for (log lines in time order): a stable sort
    // would leave them as they are.
    if (!std::is_sorted(rows.begin(), rows.end(), before)) std::stable_sort(rows.begin(), rows.end(), before);
  }
  FView->RowsValid = true;
  FView->CursorKnown = false;
}

// Finds the cursor's row again after a change: the same record when it is still visited,
// otherwise the record now at the hinted row (or the last one).
void TMemTable::EnsureCursor() const {
  if (!FActive) return;
  EnsureRows();
  TViewState& v = *FView;
  if (v.CursorKnown) return;
  const int count = ViewCount();
  if (v.CursorRecord != NoRecord) {
    if (v.CursorRow < 0 || v.CursorRow >= count || RowRecord(v.CursorRow) != v.CursorRecord) {
      const int row = RowOf(v.CursorRecord);
      if (row >= 0) {
        v.CursorRow = row;
      } else {
        v.CursorRecord = NoRecord;
      }
    }
  }
  if (v.CursorRecord == NoRecord) {
    v.CursorRow = count == 0 ? -1 : std::clamp(v.CursorRow, 0, count - 1);
    if (count > 0) v.CursorRecord = RowRecord(v.CursorRow);
  }
  v.CursorKnown = true;
}

int TMemTable::RowOf(TRecordId record) const {
  if (FView->CursorKnown && FView->CursorRecord == record) return FView->CursorRow;
  const int count = ViewCount();
  for (int row = 0; row < count; ++row) {
    if (RowRecord(row) == record) return row;
  }
  return -1;
}

TRecordId TMemTable::CurrentRecord() const {
  if (FView->CursorRecord == NoRecord) EnsureCursor();
  return FView->CursorRecord;
}

void TMemTable::CursorToFirst() {
  FView->CursorRecord = NoRecord;
  FView->CursorRow = 0;
  FView->CursorKnown = false;
  FView->Bof = true;
  FView->Eof = false;
}

void TMemTable::MoveCursor(int row) {
  const int old = FView->CursorRow;
  FView->CursorRow = row;
  FView->CursorRecord = row >= 0 ? RowRecord(row) : NoRecord;
  FView->CursorKnown = true;
  if (row != old) Tell({TTableChange::TKind::CursorMoved, row});
}

bool TMemTable::ViewDependsOn(const std::vector<char>& changedFields) const {
  auto changed = [&](const std::string& name) {
    const int field = FieldIndex(name);
    return field >= 0 && changedFields[static_cast<std::size_t>(field)];
  };
  for (const TSortKey& key : FView->Order) {
    if (changed(key.Field)) return true;
  }
  if (FilterActive()) {
    for (const TFilterTerm& term : FView->Filter) {
      if (changed(term.Field)) return true;
    }
  }
  return false;
}

// ---- cursor ----

void TMemTable::First() {
  CheckActive();
  CheckBrowseMode();
  EnsureCursor();
  const int count = ViewCount();
  FView->Bof = true;
  FView->Eof = count == 0;
  MoveCursor(count > 0 ? 0 : -1);
}

void TMemTable::Last() {
  CheckActive();
  CheckBrowseMode();
  EnsureCursor();
  const int count = ViewCount();
  FView->Eof = true;
  FView->Bof = count == 0;
  MoveCursor(count - 1);
}

void TMemTable::Next() { MoveBy(1); }

void TMemTable::Prior() { MoveBy(-1); }

void TMemTable::MoveBy(int n) {
  CheckActive();
  CheckBrowseMode();
  EnsureCursor();
  if (n == 0) return;
  const long long count = ViewCount();
  const long long target = static_cast<long long>(FView->CursorRow) + n;
  if (target >= count) {
    FView->Eof = true;
    MoveCursor(static_cast<int>(count - 1));
  } else if (target < 0) {
    FView->Bof = true;
    MoveCursor(count > 0 ? 0 : -1);
  } else {
    FView->Eof = FView->Bof = false;
    MoveCursor(static_cast<int>(target));
  }
}

bool TMemTable::Eof() const { return !FActive || FView->Eof || ViewCount() == 0; }

bool TMemTable::Bof() const { return !FActive || FView->Bof || ViewCount() == 0; }

bool TMemTable::IsEmpty() const { return ViewCount() == 0; }

int TMemTable::RecordCount() const { return ViewCount(); }

int TMemTable::RecNo() const {
  if (!FActive) return -1;
  EnsureCursor();
  return FView->CursorRow;
}

void TMemTable::SetRecNo(int row) {
  CheckActive();
  CheckBrowseMode();
  EnsureCursor();
  if (row < 0 || row >= ViewCount()) Fail("no row " + std::to_string(row));
  FView->Eof = FView->Bof = false;
  MoveCursor(row);
}

bool TMemTable::Locate(std::string_view field, std::string_view value, bool ignoreCase) {
  CheckActive();
  CheckBrowseMode();
  const int f = FieldNo(field);
  TFieldValue wanted;
  if (!ParseFieldText(Fields()[static_cast<std::size_t>(f)].Type, value, wanted)) return false;
  const TMemProbe probe = Store().MakeProbe(f, wanted, ignoreCase);
  EnsureCursor();
  const int count = ViewCount();
  for (int row = 0; row < count; ++row) {
    if (Store().Matches(RowRecord(row), probe)) {
      FView->Eof = FView->Bof = false;
      MoveCursor(row);
      return true;
    }
  }
  return false;
}

// ---- order and filter ----

void TMemTable::OrderBy(std::string_view field, bool descending) {
  if (FActive) CheckBrowseMode();
  std::string name = Fields()[static_cast<std::size_t>(FieldNo(field))].Name;
  auto& order = FView->Order;
  std::erase_if(order, [&](const TSortKey& k) { return SameTextAscii(k.Field, name); });
  order.insert(order.begin(), {std::move(name), descending});
  ViewChanged();
  CursorToFirst();
  Tell({});
}

void TMemTable::SetFilterText(std::string text) {
  std::vector<TFilterTerm> terms;
  if (!ParseFilterText(text, terms)) Fail("invalid filter text \"" + text + "\"");
  for (const TFilterTerm& term : terms) {
    const int field = FieldNo(term.Field);
    TFieldValue value;
    const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
    if (!ParseFieldText(type, term.Value, value)) FailConversion(term.Value, field, FieldTypeName(type));
  }
  if (FActive) CheckBrowseMode();
  FFilterText = std::move(text);
  FView->Filter = std::move(terms);
  if (!FFiltered) return;
  ViewChanged();
  CursorToFirst();
  Tell({});
}

void TMemTable::SetFiltered(bool on) {
  if (on == FFiltered) return;
  if (FActive) CheckBrowseMode();
  FFiltered = on;
  ViewChanged();
  CursorToFirst();
  Tell({});
}
