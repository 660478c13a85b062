#include "base/MemStore.h"

#include <algorithm>

#include "base/AsciiText.h"

namespace {

// Grows by a quarter instead of doubling: the columns of a big table are its memory.
template <class T>
void PushBack(std::vector<T>& v, T x) {
  if (v.size() == v.capacity()) v.reserve(v.capacity() + v.capacity() / 4 + 64);
  v.push_back(x);
}

}  // namespace

std::size_t TMemStore::OrderPos(TRecordId record) const {
  if (FIdentity) return IndexOf(record) < FSlotCount ? IndexOf(record) : NoPos;
  const auto it = std::find(FOrder.begin(), FOrder.end(), record);
  return it == FOrder.end() ? NoPos : static_cast<std::size_t>(it - FOrder.begin());
}

TRecordId TMemStore::AddRecord(std::size_t pos) {
  const TRecordId record{FSlotCount};
  for (std::size_t f = 0; f < Fields.size(); ++f) AddSlot(f);
  ++FSlotCount;
  if (FIdentity && pos == IndexOf(record)) return record;
  if (FIdentity) Materialize(static_cast<std::uint32_t>(IndexOf(record)));
  FOrder.insert(FOrder.begin() + static_cast<std::ptrdiff_t>(pos), record);
  return record;
}

void TMemStore::RemoveAt(std::size_t pos) {
  const TRecordId record = OrderAt(pos);
  if (FIdentity && IndexOf(record) + 1 == FSlotCount) {
    DropLastSlot();
    return;
  }
  if (FIdentity) Materialize(FSlotCount);
  FOrder.erase(FOrder.begin() + static_cast<std::ptrdiff_t>(pos));
}

void TMemStore::Clear() {
  for (TColumn& c : FColumns) c = TColumn{};
  FSlotCount = 0;
  FIdentity = true;
  FOrder = {};
  Pool.Clear();
}

TMemProbe TMemStore::MakeProbe(int field, const TFieldValue& value, bool ignoreCase) const {
  TMemProbe p;
  p.Field = field;
  p.IgnoreCase = ignoreCase;
  p.Value = value;
  if (TypeOf(field) == TFieldType::String) {
    if (value.Text.empty()) p.Value.Null = true;
    p.Known = Pool.Find(value.Text, p.Id);
  }
  return p;
}

bool TMemStore::Matches(TRecordId record, const TMemProbe& p) const {
  const TColumn& c = Column(p.Field);
  const std::size_t i = IndexOf(record);
  const bool isNull = GetBit(c.Null, i);
  const TFieldType type = TypeOf(p.Field);
  if (type == TFieldType::String) {
    if (isNull) return p.Value.Null;
    if (!p.IgnoreCase) return p.Known && c.Ids[i] == p.Id;
    return SameTextAscii(Pool.Text(c.Ids[i]), p.Value.Text);
  }
  if (isNull || p.Value.Null) return isNull == p.Value.Null;
  switch (type) {
    case TFieldType::Integer: return c.Ints[i] == p.Value.Int;
    case TFieldType::Boolean: return GetBit(c.Bits, i) == p.Value.Bool;
    case TFieldType::DateTime:
    case TFieldType::Time: return c.Floats[i] == p.Value.Float;
    case TFieldType::String: break;
  }
  return false;
}

std::size_t TMemStore::MemoryUsage() const {
  std::size_t bytes = FOrder.capacity() * sizeof(TRecordId) + Pool.MemoryUsage();
  for (const TColumn& c : FColumns) {
    bytes += c.Ids.capacity() * sizeof(std::uint32_t) + c.Ints.capacity() * sizeof(std::int32_t) +
             c.Floats.capacity() * sizeof(double) + (c.Bits.capacity() + c.Null.capacity()) * sizeof(std::uint64_t);
  }
  return bytes;
}

void TMemStore::AddSlot(std::size_t field) {
  TColumn& c = FColumns[field];
  const std::uint32_t slot = FSlotCount;
  if ((slot & 63) == 0) PushBack(c.Null, ~std::uint64_t{0});
  SetBit(c.Null, slot, true);
  switch (Fields[field].Type) {
    case TFieldType::String: PushBack(c.Ids, std::uint32_t{0}); break;
    case TFieldType::Integer: PushBack(c.Ints, std::int32_t{0}); break;
    case TFieldType::Boolean:
      if ((slot & 63) == 0) PushBack(c.Bits, std::uint64_t{0});
      break;
    case TFieldType::DateTime:
    case TFieldType::Time: PushBack(c.Floats, 0.0); break;
  }
}

void TMemStore::DropLastSlot() {
  --FSlotCount;
  for (TColumn& c : FColumns) {
    if ((FSlotCount & 63) == 0) {
      c.Null.pop_back();
      if (!c.Bits.empty()) c.Bits.pop_back();
    }
    if (!c.Ids.empty()) c.Ids.pop_back();
    if (!c.Ints.empty()) c.Ints.pop_back();
    if (!c.Floats.empty()) c.Floats.pop_back();
  }
}

void TMemStore::Materialize(std::uint32_t count) {
  FOrder.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) FOrder[i] = TRecordId{i};
  FIdentity = false;
}
