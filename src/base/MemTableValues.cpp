// Values of memory-table records: read from the current record, the edit buffer or a view
// row, converted between the field types, and written into the edit buffer.
#include "base/AsciiText.h"
#include "base/DateTime.h"
#include "base/MemTable.h"
#include "base/MemTableState.h"

TStoredValue TMemTable::ReadCurrent(int field) const {
  CheckActive();
  CheckField(field);
  if (Editing()) {
    const TFieldValue& b = FView->Buffer[static_cast<std::size_t>(field)];
    TStoredValue v;
    v.Null = b.Null;
    if (!b.Null) {
      v.Int = b.Int;
      v.Float = b.Float;
      v.Bool = b.Bool;
      v.Text = b.Text;
    }
    return v;
  }
  const TRecordId record = CurrentRecord();
  if (record == NoRecord) return {};
  return Store().Read(record, field);
}

TStoredValue TMemTable::ReadAt(int row, int field) const {
  CheckActive();
  CheckField(field);
  if (row < 0 || row >= ViewCount()) Fail("no row " + std::to_string(row));
  return Store().Read(RowRecord(row), field);
}

std::string TMemTable::TextOf(const TStoredValue& v, int field) const {
  if (v.Null) return {};
  switch (Fields()[static_cast<std::size_t>(field)].Type) {
    case TFieldType::String: return std::string(v.Text);
    case TFieldType::Integer: return std::to_string(v.Int);
    case TFieldType::Boolean: return v.Bool ? "True" : "False";
    case TFieldType::DateTime: return IsoDateTime(v.Float);
    case TFieldType::Time: return IsoTime(v.Float);
  }
  return {};
}

std::int32_t TMemTable::IntegerOf(const TStoredValue& v, int field) const {
  const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
  if (type == TFieldType::DateTime || type == TFieldType::Time) Fail("a date or time cannot be read as an integer");
  if (v.Null) return 0;
  if (type == TFieldType::Boolean) return v.Bool ? 1 : 0;
  if (type == TFieldType::String) {
    std::int32_t n = 0;
    if (!TrimSpacesAndTabs(v.Text).empty() && !TryParseInt32(v.Text, n)) FailConversion(v.Text, field, "integer");
    return n;
  }
  return v.Int;
}

bool TMemTable::BooleanOf(const TStoredValue& v, int field) const {
  const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
  if (type == TFieldType::DateTime || type == TFieldType::Time) Fail("a date or time cannot be read as a boolean");
  if (v.Null) return false;
  if (type == TFieldType::Integer) return v.Int != 0;
  if (type == TFieldType::String) {
    bool b = false;
    if (!TrimSpacesAndTabs(v.Text).empty() && !ParseBoolean(TrimSpacesAndTabs(v.Text), b)) FailConversion(v.Text, field, "boolean");
    return b;
  }
  return v.Bool;
}

double TMemTable::DateTimeOf(const TStoredValue& v, int field) const {
  const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
  if (type == TFieldType::Boolean) Fail("a boolean cannot be read as a date");
  if (v.Null) return 0;
  if (type == TFieldType::Integer) return v.Int;
  if (type == TFieldType::String) {
    TFieldValue parsed;
    if (!ParseFieldText(TFieldType::DateTime, v.Text, parsed)) FailConversion(v.Text, field, "date-time");
    return parsed.Null ? 0 : parsed.Float;
  }
  return v.Float;
}

bool TMemTable::IsNull(int field) const { return ReadCurrent(field).Null; }
std::string TMemTable::AsString(int field) const { return TextOf(ReadCurrent(field), field); }
std::int32_t TMemTable::AsInteger(int field) const { return IntegerOf(ReadCurrent(field), field); }
bool TMemTable::AsBoolean(int field) const { return BooleanOf(ReadCurrent(field), field); }
double TMemTable::AsDateTime(int field) const { return DateTimeOf(ReadCurrent(field), field); }

std::string_view TMemTable::AsStringView(int field) const {
  const TStoredValue v = ReadCurrent(field);
  if (Fields()[static_cast<std::size_t>(field)].Type != TFieldType::String) Fail("AsStringView of a non-string field");
  return v.Text;
}

bool TMemTable::IsNullAt(int row, int field) const { return ReadAt(row, field).Null; }
std::string TMemTable::AsStringAt(int row, int field) const { return TextOf(ReadAt(row, field), field); }
std::int32_t TMemTable::AsIntegerAt(int row, int field) const { return IntegerOf(ReadAt(row, field), field); }
bool TMemTable::AsBooleanAt(int row, int field) const { return BooleanOf(ReadAt(row, field), field); }
double TMemTable::AsDateTimeAt(int row, int field) const { return DateTimeOf(ReadAt(row, field), field); }

std::uint32_t TMemTable::TextIdAt(int row, int field) const {
  CheckActive();
  CheckField(field);
  if (Fields()[static_cast<std::size_t>(field)].Type != TFieldType::String) Fail("TextIdAt of a non-string field");
  if (row < 0 || row >= ViewCount()) Fail("no row " + std::to_string(row));
  return Store().TextId(RowRecord(row), field);
}

std::string_view TMemTable::AsStringViewAt(int row, int field) const {
  const TStoredValue v = ReadAt(row, field);
  if (Fields()[static_cast<std::size_t>(field)].Type != TFieldType::String) Fail("AsStringView of a non-string field");
  return v.Text;
}

// ---- writing values ----

TFieldValue& TMemTable::EditValue(int field) {
  CheckActive();
  CheckField(field);
  if (!Editing()) Fail("the table is not being edited");
  TFieldValue& v = FView->Buffer[static_cast<std::size_t>(field)];
  v.Changed = true;
  return v;
}

void TMemTable::SetString(int field, std::string_view value) {
  TFieldValue& v = EditValue(field);
  const TFieldDef& def = Fields()[static_cast<std::size_t>(field)];
  if (def.Type == TFieldType::String) {
    v.Text.assign(CutToSize(value, def.Size));
    v.Null = false;
    return;
  }
  TFieldValue parsed;
  if (!ParseFieldText(def.Type, value, parsed)) FailConversion(value, field, FieldTypeName(def.Type));
  v.Null = parsed.Null;
  v.Int = parsed.Int;
  v.Float = parsed.Float;
  v.Bool = parsed.Bool;
}

void TMemTable::SetInteger(int field, std::int32_t value) {
  CheckActive();
  CheckField(field);
  const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
  if (type == TFieldType::String) return SetString(field, std::to_string(value));
  TFieldValue& v = EditValue(field);
  v.Null = false;
  v.Int = value;
  v.Bool = value != 0;
  v.Float = value;
}

void TMemTable::SetBooleanForAll(int field, bool value) {
  CheckActive();
  CheckField(field);
  if (Fields()[static_cast<std::size_t>(field)].Type != TFieldType::Boolean) Fail("SetBooleanForAll of a non-boolean field");
  CheckBrowseMode();
  TMemStore& store = Store();
  TFieldValue v;
  v.Null = false;
  v.Bool = value;
  const int rows = ViewCount();
  if (rows == 0) return;
  for (int row = 0; row < rows; ++row) store.Write(RowRecord(row), field, v);
  std::vector<char> changed(Fields().size(), 0);
  changed[static_cast<std::size_t>(field)] = 1;
  const std::vector<TMemTable*> tables = store.Tables;
  for (TMemTable* t : tables) {
    if (t->ViewDependsOn(changed)) {
      t->FView->RowsValid = false;
      t->FView->CursorKnown = false;
    }
    if (t == this || t->FActive) t->Tell({});
  }
}

void TMemTable::SetBoolean(int field, bool value) {
  CheckActive();
  CheckField(field);
  const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
  if (type == TFieldType::String) return SetString(field, value ? "True" : "False");
  if (type == TFieldType::DateTime || type == TFieldType::Time) {
    Fail("a boolean cannot be stored in a date or time field");
  }
  TFieldValue& v = EditValue(field);
  v.Null = false;
  v.Bool = value;
  v.Int = value ? 1 : 0;
}

void TMemTable::SetDateTime(int field, double value) {
  CheckActive();
  CheckField(field);
  const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
  if (type == TFieldType::String) return SetString(field, IsoDateTime(value));
  if (type != TFieldType::DateTime && type != TFieldType::Time) {
    Fail("a date cannot be stored in a field of another kind");
  }
  TFieldValue& v = EditValue(field);
  v.Null = false;
  v.Float = value;
}

void TMemTable::ClearField(int field) {
  TFieldValue& v = EditValue(field);
  v.Null = true;
  v.Text.clear();
}
