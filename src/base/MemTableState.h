#pragma once
// What each memory table keeps besides its store: its view and its edit buffer. Part of the
// table's implementation (MemTable.cpp, MemTableView.cpp, MemTableValues.cpp).
//
// The view: the table's own order keys and filter, and while it is ordered or filtered the
// records it visits (rebuilt lazily, so that filling a keyed table sorts once). The cursor is
// a record plus its view row; after a change the row is only a hint until the view is next
// needed. View rows are ints (as RecNo counts them); records are TRecordId, which stay while
// the view is ordered and filtered.
#include <string>
#include <vector>

#include "base/MemFilter.h"
#include "base/MemStore.h"
#include "base/MemTable.h"
#include "base/MemValueText.h"

struct TSortKey {
  std::string Field;
  bool Descending = false;
};

struct TMemTable::TViewState {
  std::vector<TFieldDef> OwnFields;  // the definition, used whenever the table is not attached
  std::vector<TSortKey> Order;       // the first key decides; later ones break ties
  std::vector<TFilterTerm> Filter;   // FFilterText, parsed
  std::vector<TRecordId> Rows;       // visited records while ordered or filtered
  bool RowsValid = false;
  TRecordId CursorRecord = NoRecord;
  int CursorRow = -1;  // the row of CursorRecord when CursorKnown, otherwise a hint
  bool CursorKnown = true;
  bool Eof = true;
  bool Bof = true;
  // The edit buffer: one value per field, the record edited (NoRecord while appending).
  std::vector<TFieldValue> Buffer;
  bool Appending = false;
  TRecordId EditRecord = NoRecord;
  TRecordId InsertBefore = NoRecord;
};

inline bool TMemTable::FilterActive() const { return FFiltered && !FView->Filter.empty(); }

inline bool TMemTable::NaturalView() const { return FView->Order.empty() && !FilterActive(); }

inline int TMemTable::ViewCount() const {
  if (!FActive) return 0;
  EnsureRows();
  return static_cast<int>(NaturalView() ? Store().RecordCount() : FView->Rows.size());
}

inline TRecordId TMemTable::RowRecord(int row) const {
  return NaturalView() ? Store().OrderAt(static_cast<std::size_t>(row)) : FView->Rows[static_cast<std::size_t>(row)];
}
