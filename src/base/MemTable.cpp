#include "base/MemTable.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "base/AsciiText.h"
#include "base/StringPool.h"
#include "base/DateTime.h"

// Layout. A TMemStore holds the records of a table and of the tables attached to it, column by
// column: per field one flat array of the field's kind (string ids, int32, double, or bits for
// booleans) and one bit array for absent values. Strings are interned in one pool per store.
// Record ids are slot numbers in those arrays; the natural order is the identity over the
// slots until a record is inserted or deleted, then an explicit array of ids.
//
// Each table keeps a view (TViewState): its own order keys and filter, the records it visits
// when ordered or filtered (rebuilt lazily, so filling a keyed table sorts once), its cursor
// and its edit buffer. The cursor is a record id plus its row; after a change the row is only
// a hint until the view is next needed.

namespace {

constexpr std::uint32_t NoRecord = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t NoPos = std::numeric_limits<std::size_t>::max();

// Grows by a quarter instead of doubling: the columns of a big table are its memory.
template <class T>
void PushBack(std::vector<T>& v, T x) {
  if (v.size() == v.capacity()) v.reserve(v.capacity() + v.capacity() / 4 + 64);
  v.push_back(x);
}

bool GetBit(const std::vector<std::uint64_t>& bits, std::uint32_t i) {
  return (bits[i >> 6] >> (i & 63)) & 1;
}

void SetBit(std::vector<std::uint64_t>& bits, std::uint32_t i, bool on) {
  const std::uint64_t mask = std::uint64_t{1} << (i & 63);
  if (on) {
    bits[i >> 6] |= mask;
  } else {
    bits[i >> 6] &= ~mask;
  }
}

std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xC0 && lead < 0xE0) return 2;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  return 1;
}

// The stored form of a string: up to a NUL, at most size bytes, never ending inside a UTF-8
// sequence. Bytes that are no valid sequence (single-byte code pages) are cut anywhere.
std::string_view CutToSize(std::string_view text, int size) {
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  if (size <= 0 || text.size() <= static_cast<std::size_t>(size)) return text;
  std::size_t cut = static_cast<std::size_t>(size);
  auto continuation = [&](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
  std::size_t lead = cut;
  while (lead > 0 && cut - lead < 3 && continuation(lead)) --lead;
  if (lead < cut && lead + Utf8Length(static_cast<unsigned char>(text[lead])) > cut) cut = lead;
  return text.substr(0, cut);
}

bool ReadNumber(std::string_view& s, std::size_t digits, int& value) {
  if (s.size() < digits) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + digits, value);
  if (ec != std::errc() || end != s.data() + digits || s[0] == '-' || s[0] == '+') return false;
  s.remove_prefix(digits);
  return true;
}

bool ReadChar(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

bool ParseIsoTime(std::string_view s, double& value) {
  const bool negative = ReadChar(s, '-');
  int h = 0, m = 0, sec = 0;
  const std::size_t hourDigits = s.find(':');
  if (hourDigits == std::string_view::npos || hourDigits == 0) return false;
  if (!ReadNumber(s, hourDigits, h) || !ReadChar(s, ':') || !ReadNumber(s, 2, m) || !ReadChar(s, ':') ||
      !ReadNumber(s, 2, sec) || !s.empty() || m > 59 || sec > 59)
    return false;
  value = EncodeTime(h, m, sec) * (negative ? -1 : 1);
  return true;
}

bool ParseIsoDateTime(std::string_view s, double& value) {
  int y = 0, mo = 0, d = 0;
  if (!ReadNumber(s, 4, y) || !ReadChar(s, '-') || !ReadNumber(s, 2, mo) || !ReadChar(s, '-') ||
      !ReadNumber(s, 2, d) || !TryEncodeDate(y, mo, d, value))
    return false;
  if (s.empty()) return true;
  if (!ReadChar(s, 'T') && !ReadChar(s, ' ')) return false;
  double time = 0;
  if (s.empty() || s.front() == '-' || !ParseIsoTime(s, time) || time >= 1) return false;
  value += time;
  return true;
}

bool ParseBoolean(std::string_view s, bool& value) {
  if (SameTextAscii(s, "True") || s == "1") {
    value = true;
  } else if (SameTextAscii(s, "False") || s == "0") {
    value = false;
  } else {
    return false;
  }
  return true;
}

const char* KindName(TFieldType type) {
  switch (type) {
    case TFieldType::String: return "text";
    case TFieldType::Integer: return "integer";
    case TFieldType::Boolean: return "boolean";
    case TFieldType::DateTime: return "date-time";
    case TFieldType::Time: return "time";
  }
  return "value";
}

// One comparison of a filter text, as written.
struct TFilterTerm {
  std::string Field;
  bool NotEqual = false;
  std::string Value;
};

struct TSortKey {
  std::string Field;
  bool Descending = false;
};

bool ParseFilterText(std::string_view text, std::vector<TFilterTerm>& terms) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&] {
    while (i < n && text[i] == ' ') ++i;
  };
  skipBlanks();
  while (i < n) {
    TFilterTerm term;
    const std::size_t nameStart = i;
    while (i < n && text[i] != '=' && text[i] != '<' && text[i] != ' ') ++i;
    term.Field.assign(text.substr(nameStart, i - nameStart));
    skipBlanks();
    if (text.substr(i, 2) == "<>") {
      term.NotEqual = true;
      i += 2;
    } else if (i < n && text[i] == '=') {
      ++i;
    } else {
      return false;
    }
    skipBlanks();
    if (i < n && text[i] == '\'') {
      for (++i;; ++i) {
        if (i >= n) return false;
        if (text[i] == '\'') {
          if (i + 1 >= n || text[i + 1] != '\'') break;
          ++i;
        }
        term.Value += text[i];
      }
      ++i;
    } else {
      const std::size_t valueStart = i;
      while (i < n && text[i] != ' ') ++i;
      if (i == valueStart) return false;
      term.Value.assign(text.substr(valueStart, i - valueStart));
    }
    if (term.Field.empty()) return false;
    terms.push_back(std::move(term));
    skipBlanks();
    if (i == n) break;
    if (n - i < 4 || !SameTextAscii(text.substr(i, 3), "AND") || text[i + 3] != ' ') return false;
    i += 4;
    skipBlanks();
    if (i == n) return false;
  }
  return true;
}

}  // namespace

bool TryParseInt32(std::string_view text, std::int32_t& value) {
  text = TrimSpacesAndTabs(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// A value read from a record or from the edit buffer; Text points into the pool or buffer.
struct TMemTable::TValue {
  bool Null = true;
  std::int32_t Int = 0;
  double Float = 0;
  bool Bool = false;
  std::string_view Text;
};

// A value of the edit buffer, or a value looked for (filters, Locate).
struct TMemTable::TBufferValue {
  bool Null = true;
  bool Changed = false;
  std::int32_t Int = 0;
  double Float = 0;
  bool Bool = false;
  std::string Text;
};

namespace {

// Converts a text to a value of the field's kind. An empty text (or blanks) gives no value,
// except for string fields, which keep it as it is. (A template only because the value type
// is private to the table.)
template <class TBuffer>
bool ParseFieldText(TFieldType type, std::string_view text, TBuffer& out) {
  out.Null = false;
  if (type == TFieldType::String) {
    out.Text.assign(text);
    return true;
  }
  const std::string_view trimmed = TrimSpacesAndTabs(text);
  if (trimmed.empty()) {
    out.Null = true;
    return true;
  }
  switch (type) {
    case TFieldType::Integer: return TryParseInt32(trimmed, out.Int);
    case TFieldType::Boolean: return ParseBoolean(trimmed, out.Bool);
    case TFieldType::DateTime: return ParseIsoDateTime(trimmed, out.Float);
    case TFieldType::Time: return ParseIsoTime(trimmed, out.Float);
    case TFieldType::String: break;
  }
  return false;
}

}  // namespace

// A comparison made ready for one store: field resolved, value converted, text interned.
struct TMemTable::TProbe {
  int Field = 0;
  bool IgnoreCase = false;
  bool Known = false;  // string fields: the text is in the pool (else no record holds it)
  std::uint32_t Id = 0;
  TBufferValue Value;
};

class TMemStore {
public:
  using TBufferValue = TMemTable::TBufferValue;
  using TProbe = TMemTable::TProbe;

  explicit TMemStore(std::vector<TFieldDef> fields) : Fields(std::move(fields)), FColumns(Fields.size()) {}

  std::vector<TFieldDef> Fields;
  std::vector<TMemTable*> Tables;  // every table that shows these records

  std::size_t RecordCount() const { return FIdentity ? FSlotCount : FOrder.size(); }
  std::uint32_t OrderAt(std::size_t pos) const {
    return FIdentity ? static_cast<std::uint32_t>(pos) : FOrder[pos];
  }

  std::size_t OrderPos(std::uint32_t record) const {
    if (FIdentity) return record < FSlotCount ? record : NoPos;
    const auto it = std::find(FOrder.begin(), FOrder.end(), record);
    return it == FOrder.end() ? NoPos : static_cast<std::size_t>(it - FOrder.begin());
  }

  // A new record without values at position pos of the natural order.
  std::uint32_t AddRecord(std::size_t pos) {
    const std::uint32_t record = FSlotCount;
    for (std::size_t f = 0; f < Fields.size(); ++f) AddSlot(f);
    ++FSlotCount;
    if (FIdentity && pos == record) return record;
    if (FIdentity) Materialize(record);
    FOrder.insert(FOrder.begin() + static_cast<std::ptrdiff_t>(pos), record);
    return record;
  }

  // Takes the record at pos out of the natural order. Its slot stays unused unless it is the
  // last one, so that the ids other tables hold stay valid.
  void RemoveAt(std::size_t pos) {
    const std::uint32_t record = OrderAt(pos);
    if (FIdentity && record + 1 == FSlotCount) {
      DropLastSlot();
      return;
    }
    if (FIdentity) Materialize(FSlotCount);
    FOrder.erase(FOrder.begin() + static_cast<std::ptrdiff_t>(pos));
  }

  void Clear() {
    for (TColumn& c : FColumns) c = TColumn{};
    FSlotCount = 0;
    FIdentity = true;
    FOrder = {};
    Pool.Clear();
  }

  // The pool id of a string field's text, NoTextId when the field has no value.
  std::uint32_t TextId(std::uint32_t record, int field) const {
    const TColumn& c = FColumns[static_cast<std::size_t>(field)];
    return GetBit(c.Null, record) ? TMemTable::NoTextId : c.Ids[record];
  }

  TMemTable::TValue Read(std::uint32_t record, int field) const {
    const TColumn& c = FColumns[static_cast<std::size_t>(field)];
    TMemTable::TValue v;
    if (GetBit(c.Null, record)) return v;
    v.Null = false;
    switch (Fields[static_cast<std::size_t>(field)].Type) {
      case TFieldType::String: v.Text = Pool.Text(c.Ids[record]); break;
      case TFieldType::Integer: v.Int = c.Ints[record]; break;
      case TFieldType::Boolean: v.Bool = GetBit(c.Bits, record); break;
      case TFieldType::DateTime:
      case TFieldType::Time: v.Float = c.Floats[record]; break;
    }
    return v;
  }

  void Write(std::uint32_t record, int field, const TBufferValue& v) {
    TColumn& c = FColumns[static_cast<std::size_t>(field)];
    SetBit(c.Null, record, v.Null);
    if (v.Null) return;
    switch (Fields[static_cast<std::size_t>(field)].Type) {
      case TFieldType::String: c.Ids[record] = Pool.Intern(v.Text); break;
      case TFieldType::Integer: c.Ints[record] = v.Int; break;
      case TFieldType::Boolean: SetBit(c.Bits, record, v.Bool); break;
      case TFieldType::DateTime:
      case TFieldType::Time: c.Floats[record] = v.Float; break;
    }
  }

  // Order of two records by one field: absent values first, texts bytewise.
  int Compare(std::uint32_t a, std::uint32_t b, int field) const {
    const TColumn& c = FColumns[static_cast<std::size_t>(field)];
    const bool nullA = GetBit(c.Null, a), nullB = GetBit(c.Null, b);
    if (nullA || nullB) return nullA == nullB ? 0 : (nullA ? -1 : 1);
    switch (Fields[static_cast<std::size_t>(field)].Type) {
      case TFieldType::String: {
        if (c.Ids[a] == c.Ids[b]) return 0;
        const int r = Pool.Text(c.Ids[a]).compare(Pool.Text(c.Ids[b]));
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
      }
      case TFieldType::Integer: return c.Ints[a] < c.Ints[b] ? -1 : (c.Ints[a] > c.Ints[b] ? 1 : 0);
      case TFieldType::Boolean: return static_cast<int>(GetBit(c.Bits, a)) - static_cast<int>(GetBit(c.Bits, b));
      case TFieldType::DateTime:
      case TFieldType::Time: return c.Floats[a] < c.Floats[b] ? -1 : (c.Floats[a] > c.Floats[b] ? 1 : 0);
    }
    return 0;
  }

  TProbe MakeProbe(int field, const TBufferValue& value, bool ignoreCase) const {
    TProbe p;
    p.Field = field;
    p.IgnoreCase = ignoreCase;
    p.Value = value;
    if (Fields[static_cast<std::size_t>(field)].Type == TFieldType::String) {
      if (value.Text.empty()) p.Value.Null = true;
      p.Known = Pool.Find(value.Text, p.Id);
    }
    return p;
  }

  // An empty probe matches a record without a value (and an empty text).
  bool Matches(std::uint32_t record, const TProbe& p) const {
    const TColumn& c = FColumns[static_cast<std::size_t>(p.Field)];
    const bool isNull = GetBit(c.Null, record);
    const TFieldType type = Fields[static_cast<std::size_t>(p.Field)].Type;
    if (type == TFieldType::String) {
      if (isNull) return p.Value.Null;
      if (!p.IgnoreCase) return p.Known && c.Ids[record] == p.Id;
      return SameTextAscii(Pool.Text(c.Ids[record]), p.Value.Text);
    }
    if (isNull || p.Value.Null) return isNull == p.Value.Null;
    switch (type) {
      case TFieldType::Integer: return c.Ints[record] == p.Value.Int;
      case TFieldType::Boolean: return GetBit(c.Bits, record) == p.Value.Bool;
      case TFieldType::DateTime:
      case TFieldType::Time: return c.Floats[record] == p.Value.Float;
      case TFieldType::String: break;
    }
    return false;
  }

  std::size_t MemoryUsage() const {
    std::size_t bytes = FOrder.capacity() * sizeof(std::uint32_t) + Pool.MemoryUsage();
    for (const TColumn& c : FColumns) {
      bytes += c.Ids.capacity() * sizeof(std::uint32_t) + c.Ints.capacity() * sizeof(std::int32_t) +
               c.Floats.capacity() * sizeof(double) + (c.Bits.capacity() + c.Null.capacity()) * sizeof(std::uint64_t);
    }
    return bytes;
  }

  TStringPool Pool;

private:
  struct TColumn {
    std::vector<std::uint32_t> Ids;  // string fields
    std::vector<std::int32_t> Ints;
    std::vector<double> Floats;      // date-time and time fields
    std::vector<std::uint64_t> Bits;  // boolean fields
    std::vector<std::uint64_t> Null;  // set: no value
  };

  void AddSlot(std::size_t f) {
    TColumn& c = FColumns[f];
    const std::uint32_t record = FSlotCount;
    if ((record & 63) == 0) PushBack(c.Null, ~std::uint64_t{0});
    SetBit(c.Null, record, true);
    switch (Fields[f].Type) {
      case TFieldType::String: PushBack(c.Ids, std::uint32_t{0}); break;
      case TFieldType::Integer: PushBack(c.Ints, std::int32_t{0}); break;
      case TFieldType::Boolean:
        if ((record & 63) == 0) PushBack(c.Bits, std::uint64_t{0});
        break;
      case TFieldType::DateTime:
      case TFieldType::Time: PushBack(c.Floats, 0.0); break;
    }
  }

  void DropLastSlot() {
    --FSlotCount;
    for (std::size_t f = 0; f < FColumns.size(); ++f) {
      TColumn& c = FColumns[f];
      if ((FSlotCount & 63) == 0) {
        c.Null.pop_back();
        if (!c.Bits.empty()) c.Bits.pop_back();
      }
      if (!c.Ids.empty()) c.Ids.pop_back();
      if (!c.Ints.empty()) c.Ints.pop_back();
      if (!c.Floats.empty()) c.Floats.pop_back();
    }
  }

  void Materialize(std::uint32_t count) {
    FOrder.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) FOrder[i] = i;
    FIdentity = false;
  }

  std::vector<TColumn> FColumns;
  std::uint32_t FSlotCount = 0;
  bool FIdentity = true;
  std::vector<std::uint32_t> FOrder;
};

struct TMemTable::TViewState {
  std::vector<TFieldDef> OwnFields;  // the definition, used whenever the table is not attached
  std::vector<TSortKey> Order;       // the first key decides; later ones break ties
  std::vector<TFilterTerm> Filter;   // FFilterText, parsed
  std::vector<std::uint32_t> Rows;   // visited records while ordered or filtered
  bool RowsValid = false;
  std::uint32_t CursorRecord = NoRecord;
  int CursorRow = -1;  // the row of CursorRecord when CursorKnown, otherwise a hint
  bool CursorKnown = true;
  bool Eof = true;
  bool Bof = true;
  std::vector<TBufferValue> Buffer;
  bool Appending = false;
  std::uint32_t InsertBefore = NoRecord;
};

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
  FEditRecord = -1;
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
  return Store().MemoryUsage() + FView->Rows.capacity() * sizeof(std::uint32_t);
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
    t->FEditRecord = -1;
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

// ---- the view ----

bool TMemTable::FilterActive() const { return FFiltered && !FView->Filter.empty(); }

bool TMemTable::NaturalView() const { return FView->Order.empty() && !FilterActive(); }

void TMemTable::ViewChanged() {
  FView->RowsValid = false;
  FView->CursorKnown = false;
  if (NaturalView()) FView->Rows = {};
}

void TMemTable::EnsureRows() const {
  if (!FActive || NaturalView() || FView->RowsValid) return;
  const TMemStore& store = Store();
  std::vector<TProbe> probes;
  if (FilterActive()) {
    for (const TFilterTerm& term : FView->Filter) {
      const int field = FieldNo(term.Field);
      TBufferValue value;
      if (!ParseFieldText(Fields()[static_cast<std::size_t>(field)].Type, term.Value, value))
        FailConversion(term.Value, field, KindName(Fields()[static_cast<std::size_t>(field)].Type));
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
    const std::uint32_t record = store.OrderAt(pos);
    bool visible = true;
    for (std::size_t i = 0; i < probes.size() && visible; ++i) {
      visible = store.Matches(record, probes[i]) != FView->Filter[i].NotEqual;
    }
    if (visible) rows.push_back(record);
  }
  if (!keys.empty()) {
    auto before = [&](std::uint32_t a, std::uint32_t b) {
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

int TMemTable::ViewCount() const {
  if (!FActive) return 0;
  EnsureRows();
  return static_cast<int>(NaturalView() ? Store().RecordCount() : FView->Rows.size());
}

std::uint32_t TMemTable::RowRecord(int row) const {
  return NaturalView() ? Store().OrderAt(static_cast<std::size_t>(row)) : FView->Rows[static_cast<std::size_t>(row)];
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

int TMemTable::RowOf(std::uint32_t record) const {
  if (FView->CursorKnown && FView->CursorRecord == record) return FView->CursorRow;
  const int count = ViewCount();
  for (int row = 0; row < count; ++row) {
    if (RowRecord(row) == record) return row;
  }
  return -1;
}

std::uint32_t TMemTable::CurrentRecord() const {
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
  TBufferValue wanted;
  if (!ParseFieldText(Fields()[static_cast<std::size_t>(f)].Type, value, wanted)) return false;
  const TProbe probe = Store().MakeProbe(f, wanted, ignoreCase);
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
    TBufferValue value;
    const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
    if (!ParseFieldText(type, term.Value, value)) FailConversion(term.Value, field, KindName(type));
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

void TMemTable::StartNew(std::uint32_t before) {
  FView->Buffer.resize(Fields().size());
  for (TBufferValue& v : FView->Buffer) {
    v.Null = true;
    v.Changed = false;
    v.Text.clear();
  }
  FView->Appending = true;
  FView->InsertBefore = before;
  // The record gets its slot when posted; until then this only marks the edit.
  FEditRecord = static_cast<int>(std::min<std::size_t>(Store().RecordCount(), std::numeric_limits<int>::max()));
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
  const std::uint32_t record = CurrentRecord();
  if (record == NoRecord) Fail("no current record to edit");
  const TMemStore& store = Store();
  FView->Buffer.resize(Fields().size());
  for (int f = 0; f < FieldCount(); ++f) {
    const TValue v = store.Read(record, f);
    TBufferValue& b = FView->Buffer[static_cast<std::size_t>(f)];
    b.Null = v.Null;
    b.Changed = false;
    b.Int = v.Int;
    b.Float = v.Float;
    b.Bool = v.Bool;
    b.Text.assign(v.Text);
  }
  FView->Appending = false;
  FEditRecord = static_cast<int>(record);
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
  const std::uint32_t record = store.AddRecord(pos);
  for (int f = 0; f < FieldCount(); ++f) store.Write(record, f, FView->Buffer[static_cast<std::size_t>(f)]);
  FEditRecord = -1;
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
  const auto record = static_cast<std::uint32_t>(FEditRecord);
  std::vector<char> changed(Fields().size(), 0);
  bool any = false;
  for (int f = 0; f < FieldCount(); ++f) {
    const TBufferValue& v = FView->Buffer[static_cast<std::size_t>(f)];
    if (!v.Changed) continue;
    store.Write(record, f, v);
    changed[static_cast<std::size_t>(f)] = 1;
    any = true;
  }
  FEditRecord = -1;
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
  FEditRecord = -1;
}

void TMemTable::Delete() {
  CheckActive();
  if (Editing()) {
    const bool appending = FView->Appending;
    Cancel();
    if (appending) return;
  }
  EnsureCursor();
  const std::uint32_t record = FView->CursorRecord;
  if (record == NoRecord) Fail("no current record to delete");
  const bool wasLast = FView->CursorRow == ViewCount() - 1;
  TMemStore& store = Store();
  const std::size_t pos = NaturalView() ? static_cast<std::size_t>(FView->CursorRow) : store.OrderPos(record);
  store.RemoveAt(pos);
  for (TMemTable* t : store.Tables) {
    TViewState& v = *t->FView;
    if (t->Editing() && !v.Appending && t->FEditRecord == static_cast<int>(record)) t->FEditRecord = -1;
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

// ---- reading values ----

TMemTable::TValue TMemTable::ReadCurrent(int field) const {
  CheckActive();
  CheckField(field);
  if (Editing()) {
    const TBufferValue& b = FView->Buffer[static_cast<std::size_t>(field)];
    TValue v;
    v.Null = b.Null;
    if (!b.Null) {
      v.Int = b.Int;
      v.Float = b.Float;
      v.Bool = b.Bool;
      v.Text = b.Text;
    }
    return v;
  }
  const std::uint32_t record = CurrentRecord();
  if (record == NoRecord) return {};
  return Store().Read(record, field);
}

TMemTable::TValue TMemTable::ReadAt(int row, int field) const {
  CheckActive();
  CheckField(field);
  if (row < 0 || row >= ViewCount()) Fail("no row " + std::to_string(row));
  return Store().Read(RowRecord(row), field);
}

std::string TMemTable::TextOf(const TValue& v, int field) const {
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

std::int32_t TMemTable::IntegerOf(const TValue& v, int field) const {
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

bool TMemTable::BooleanOf(const TValue& v, int field) const {
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

double TMemTable::DateTimeOf(const TValue& v, int field) const {
  const TFieldType type = Fields()[static_cast<std::size_t>(field)].Type;
  if (type == TFieldType::Boolean) Fail("a boolean cannot be read as a date");
  if (v.Null) return 0;
  if (type == TFieldType::Integer) return v.Int;
  if (type == TFieldType::String) {
    TBufferValue parsed;
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
  const TValue v = ReadCurrent(field);
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
  const TValue v = ReadAt(row, field);
  if (Fields()[static_cast<std::size_t>(field)].Type != TFieldType::String) Fail("AsStringView of a non-string field");
  return v.Text;
}

// ---- writing values ----

TMemTable::TBufferValue& TMemTable::EditValue(int field) {
  CheckActive();
  CheckField(field);
  if (!Editing()) Fail("the table is not being edited");
  TBufferValue& v = FView->Buffer[static_cast<std::size_t>(field)];
  v.Changed = true;
  return v;
}

void TMemTable::SetString(int field, std::string_view value) {
  TBufferValue& v = EditValue(field);
  const TFieldDef& def = Fields()[static_cast<std::size_t>(field)];
  if (def.Type == TFieldType::String) {
    v.Text.assign(CutToSize(value, def.Size));
    v.Null = false;
    return;
  }
  TBufferValue parsed;
  if (!ParseFieldText(def.Type, value, parsed)) FailConversion(value, field, KindName(def.Type));
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
  TBufferValue& v = EditValue(field);
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
  TBufferValue v;
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
  TBufferValue& v = EditValue(field);
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
  TBufferValue& v = EditValue(field);
  v.Null = false;
  v.Float = value;
}

void TMemTable::ClearField(int field) {
  TBufferValue& v = EditValue(field);
  v.Null = true;
  v.Text.clear();
}
