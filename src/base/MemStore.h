#pragma once
// The records of a memory table and of the tables attached to it, column by column: per field
// one flat array of the field's kind (string ids, int32, double, or bits for booleans) and one
// bit array for absent values; strings interned in one pool per store. A record is a slot in
// those arrays (TRecordId); the natural (append/insert) order is the identity over the slots
// until a record is inserted or deleted, then an explicit array of ids. Part of the table's
// implementation (MemTable.cpp, MemTableView.cpp); the hot reads are inline.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "base/MemTable.h"
#include "base/MemValueText.h"
#include "base/StringPool.h"

enum class TRecordId : std::uint32_t {};
inline constexpr TRecordId NoRecord{std::numeric_limits<std::uint32_t>::max()};
inline constexpr std::size_t IndexOf(TRecordId record) { return static_cast<std::uint32_t>(record); }

// A value as read from a record or from the edit buffer; Text points into the pool or buffer.
struct TStoredValue {
  bool Null = true;
  std::int32_t Int = 0;
  double Float = 0;
  bool Bool = false;
  std::string_view Text;
};

// A comparison made ready for one store: field resolved, value converted, text looked up.
struct TMemProbe {
  int Field = 0;
  bool IgnoreCase = false;
  bool Known = false;  // string fields: the text is in the pool (else no record holds it)
  std::uint32_t Id = 0;
  TFieldValue Value;
};

class TMemStore {
public:
  explicit TMemStore(std::vector<TFieldDef> fields) : Fields(std::move(fields)), FColumns(Fields.size()) {}

  std::vector<TFieldDef> Fields;
  std::vector<TMemTable*> Tables;  // every table that shows these records
  TStringPool Pool;

  // The natural order: its size, the record at a position, the position of a record (NoPos
  // when it holds none; linear once the order is explicit).
  static constexpr std::size_t NoPos = std::numeric_limits<std::size_t>::max();
  std::size_t RecordCount() const { return FIdentity ? FSlotCount : FOrder.size(); }
  TRecordId OrderAt(std::size_t pos) const {
    return FIdentity ? TRecordId{static_cast<std::uint32_t>(pos)} : FOrder[pos];
  }
  std::size_t OrderPos(TRecordId record) const;

  // A new record without values at position pos of the natural order.
  TRecordId AddRecord(std::size_t pos);
  // Takes the record at pos out of the natural order. Its slot stays unused unless it is the
  // last one, so that the ids other tables hold stay valid.
  void RemoveAt(std::size_t pos);
  void Clear();

  // The pool id of a string field's text, TMemTable::NoTextId when the field has no value.
  std::uint32_t TextId(TRecordId record, int field) const {
    const TColumn& c = Column(field);
    return GetBit(c.Null, IndexOf(record)) ? TMemTable::NoTextId : c.Ids[IndexOf(record)];
  }

  TStoredValue Read(TRecordId record, int field) const {
    const TColumn& c = Column(field);
    const std::size_t i = IndexOf(record);
    TStoredValue v;
    if (GetBit(c.Null, i)) return v;
    v.Null = false;
    switch (TypeOf(field)) {
      case TFieldType::String: v.Text = Pool.Text(c.Ids[i]); break;
      case TFieldType::Integer: v.Int = c.Ints[i]; break;
      case TFieldType::Boolean: v.Bool = GetBit(c.Bits, i); break;
      case TFieldType::DateTime:
      case TFieldType::Time: v.Float = c.Floats[i]; break;
    }
    return v;
  }

  void Write(TRecordId record, int field, const TFieldValue& v) {
    TColumn& c = FColumns[static_cast<std::size_t>(field)];
    const std::size_t i = IndexOf(record);
    SetBit(c.Null, i, v.Null);
    if (v.Null) return;
    switch (TypeOf(field)) {
      case TFieldType::String: c.Ids[i] = Pool.Intern(v.Text); break;
      case TFieldType::Integer: c.Ints[i] = v.Int; break;
      case TFieldType::Boolean: SetBit(c.Bits, i, v.Bool); break;
      case TFieldType::DateTime:
      case TFieldType::Time: c.Floats[i] = v.Float; break;
    }
  }

  // Order of two records by one field: absent values first, texts bytewise.
  int Compare(TRecordId a, TRecordId b, int field) const {
    const TColumn& c = Column(field);
    const std::size_t x = IndexOf(a), y = IndexOf(b);
    const bool nullA = GetBit(c.Null, x), nullB = GetBit(c.Null, y);
    if (nullA || nullB) return nullA == nullB ? 0 : (nullA ? -1 : 1);
    switch (TypeOf(field)) {
      case TFieldType::String: {
        if (c.Ids[x] == c.Ids[y]) return 0;
        const int r = Pool.Text(c.Ids[x]).compare(Pool.Text(c.Ids[y]));
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
      }
      case TFieldType::Integer: return c.Ints[x] < c.Ints[y] ? -1 : (c.Ints[x] > c.Ints[y] ? 1 : 0);
      case TFieldType::Boolean: return static_cast<int>(GetBit(c.Bits, x)) - static_cast<int>(GetBit(c.Bits, y));
      case TFieldType::DateTime:
      case TFieldType::Time: return c.Floats[x] < c.Floats[y] ? -1 : (c.Floats[x] > c.Floats[y] ? 1 : 0);
    }
    return 0;
  }

  TMemProbe MakeProbe(int field, const TFieldValue& value, bool ignoreCase) const;
  // An empty probe matches a record without a value (and an empty text).
  bool Matches(TRecordId record, const TMemProbe& p) const;

  std::size_t MemoryUsage() const;

private:
  struct TColumn {
    std::vector<std::uint32_t> Ids;  // string fields
    std::vector<std::int32_t> Ints;
    std::vector<double> Floats;       // date-time and time fields
    std::vector<std::uint64_t> Bits;  // boolean fields
    std::vector<std::uint64_t> Null;  // set: no value
  };

  static bool GetBit(const std::vector<std::uint64_t>& bits, std::size_t i) { return (bits[i >> 6] >> (i & 63)) & 1; }
  static void SetBit(std::vector<std::uint64_t>& bits, std::size_t i, bool on) {
    const std::uint64_t mask = std::uint64_t{1} << (i & 63);
    if (on) {
      bits[i >> 6] |= mask;
    } else {
      bits[i >> 6] &= ~mask;
    }
  }
  const TColumn& Column(int field) const { return FColumns[static_cast<std::size_t>(field)]; }
  TFieldType TypeOf(int field) const { return Fields[static_cast<std::size_t>(field)].Type; }

  void AddSlot(std::size_t field);
  void DropLastSlot();
  void Materialize(std::uint32_t count);

  std::vector<TColumn> FColumns;
  std::uint32_t FSlotCount = 0;
  bool FIdentity = true;
  std::vector<TRecordId> FOrder;
};
