#include "analyses/W2frmAddPage.h"

#include "analyses/HostName.h"
#include "base/AsciiText.h"
#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "log/W2SearchPat.h"
#include "platform/CheckList.h"
#include "platform/Dialogs.h"
#include "platform/HostLookup.h"

namespace {

enum TDataField { fdID, fdTCPIP, fdDateTime, fdFrom, fdTo, fdChecked };
enum TProcessField { fpID, fpProcess, fpDateTime, fpTimeViewed };
// Gaps are compared to the time area with this margin, so that a gap of exactly the time
// area begins a new visit whatever rounding the day count of the date brings.
constexpr double HalfMillisecond = 0.5 / 86400000.0;

std::vector<TFieldDef> DataFields() {
  return {{"ID", TFieldType::Integer, 0},
          {"TCPIP", TFieldType::String, 120},
          {"DateTime", TFieldType::DateTime, 0},
          {"from", TFieldType::String, 100},
          {"to", TFieldType::String, 50},
          {"checked", TFieldType::Boolean, 0}};
}

std::vector<TFieldDef> ProcessFields() {
  return {{"ID", TFieldType::Integer, 0},
          {"Process", TFieldType::String, 255},
          {"DateTime", TFieldType::DateTime, 0},
          {"TimeViewed", TFieldType::Time, 0}};
}

}  // namespace

TAddPageAnalysis::TAddPageAnalysis(const Tglobals& globals, IDialogs& dialogs, IHostLookup& hostLookup)
    : kbmData("kbmData", DataFields(), "ID;TCPIP"),
      kbmProcess("kbmProcess", ProcessFields()),
      FGlobals(globals),
      FDialogs(dialogs),
      FHostLookup(hostLookup),
      FAlive(std::make_shared<TAddPageAnalysis*>(this)) {}

TAddPageAnalysis::~TAddPageAnalysis() {
  FAlive.reset();
  FreeTree();
}

void TAddPageAnalysis::CreateTree() { FDataEnabled = true; }

void TAddPageAnalysis::FreeTree() { FVisits.Clear(); }

void TAddPageAnalysis::ClearResults() {
  EndCollecting();
  kbmData.Close();
  kbmProcess.Close();
  FVisits.Clear();
}

// A run that ended with an error never reached FinishRun; its held display ends here, so
// the next run does not hold it twice.
void TAddPageAnalysis::EndCollecting() {
  if (!FCollecting) return;
  FCollecting = false;
  kbmData.EnableControls();
}

void TAddPageAnalysis::PrepareRun() {
  ClearResults();
  FDataEnabled = false;
  kbmData.DisableControls();
  kbmData.Open();
  FCollecting = true;
  FNextID = 0;
  FMainPage.clear();
  if (!FGlobals.ReadRegString("MainPage", FMainPage)) FMainPage.clear();
  FNotShown = TNotShownFilter(FGlobals.LoadNotShownList());
}

void TAddPageAnalysis::HandleLine(const std::string& line, TDSearchPattern& parser) {
  std::string_view request = parser.GetField(line, TFieldKind::Request);
  if (FNotShown.Hides(request)) return;
  std::string_view address = parser.GetField(line, TFieldKind::IP);
  double dateTime = parser.GetDateTime(line);
  AddRequest(address, dateTime, request);
}

void TAddPageAnalysis::CheckLine(const std::string& line, TDSearchPattern& parser) const {
  if (FNotShown.Hides(parser.GetField(line, TFieldKind::Request))) return;
  parser.GetField(line, TFieldKind::IP);
  parser.GetDateTime(line);
}

void TAddPageAnalysis::AddRequest(std::string_view address, double dateTime, std::string_view request) {
  kbmData.Append();
  kbmData.SetInteger(fdID, ++FNextID);
  kbmData.SetString(fdTCPIP, TrimSpaceAndControls(address));
  kbmData.SetDateTime(fdDateTime, dateTime);
  kbmData.SetString(fdFrom, FMainPage);
  kbmData.SetString(fdTo, PageOfRequest(request));
  kbmData.SetBoolean(fdChecked, false);
  kbmData.Post();
}

void TAddPageAnalysis::FinishRun() {
  if (!FCollecting) return;
  kbmData.OrderBy("DateTime", false);
  kbmData.First();
  EndCollecting();
  kbmData.DisableControls();
  BuildVisits();
  kbmData.First();
  kbmData.EnableControls();
  FDataEnabled = true;
}

std::string_view TAddPageAnalysis::EntryText(std::string_view from) const {
  std::string_view rest = from.size() > FMainPage.size() ? from.substr(FMainPage.size()) : std::string_view();
  return rest.empty() || rest == "/" ? from : rest;
}

// The requests of one address form a visit while each follows the one before by less than
// the time area (the paths' own visit rule, beside the visitor lookup's: WSSearchUser.h);
// visits are numbered in the order of their first request, pages join in row order. One pass
// over the rows in time order, with the open visit of each address kept by its text id.
void TAddPageAnalysis::BuildVisits() {
  FVisits.Clear();
  const double area = FTimeArea = FGlobals.GetTimeArea();
  if (!kbmData.Active()) return;

  struct TOpenVisit {
    std::int32_t Visit = -1;
    double Latest = 0;
  };
  std::vector<TOpenVisit> openVisits;  // by text id of the address
  // kbmData keeps one copy of each text: its text numbers are mapped to the visits' text
  // ids once per distinct text, not looked up again for every row.
  constexpr std::uint32_t Unknown = TMemTable::NoTextId;
  std::vector<std::uint32_t> idOfNumber;
  auto textId = [&](int row, int field) {
    const std::uint32_t number = kbmData.TextIdAt(row, field);
    if (number == TMemTable::NoTextId) return FVisits.Intern({});
    if (number >= idOfNumber.size()) idOfNumber.resize(number + 1, Unknown);
    std::uint32_t& id = idOfNumber[number];
    if (id == Unknown) id = FVisits.Intern(kbmData.AsStringViewAt(row, field));
    return id;
  };
  std::uint32_t lastFrom = Unknown;
  std::uint32_t entry = 0;
  const int rows = kbmData.RecordCount();
  for (int row = 0; row < rows; ++row) {
    const std::uint32_t address = textId(row, fdTCPIP);
    const double time = kbmData.AsDateTimeAt(row, fdDateTime);
    if (const std::uint32_t from = kbmData.TextIdAt(row, fdFrom); row == 0 || from != lastFrom) {
      entry = FVisits.Intern(EntryText(kbmData.AsStringViewAt(row, fdFrom)));
      lastFrom = from;
    }
    const std::uint32_t page = textId(row, fdTo);
    if (address >= openVisits.size()) openVisits.resize(address + 1);
    TOpenVisit& open = openVisits[address];
    if (open.Visit < 0 || !(time - open.Latest < area - HalfMillisecond)) open.Visit = FVisits.AddVisit(address, entry, time);
    open.Latest = time;
    FVisits.AddPage(open.Visit, page, time);
  }
  FVisits.Finish();
  kbmData.SetBooleanForAll(fdChecked, true);
  kbmData.First();
}

int TAddPageAnalysis::VisitOfRow(int row) const {
  if (!kbmData.Active() || row < 0 || row >= kbmData.RecordCount()) return -1;
  return FVisits.FindVisit(kbmData.AsStringViewAt(row, fdTo), kbmData.AsDateTimeAt(row, fdDateTime));
}

void TAddPageAnalysis::ShowPath(int row) {
  kbmProcess.Close();
  kbmProcess.DisableControls();
  kbmProcess.Open();
  const int visit = VisitOfRow(row);
  if (visit < 0) {
    FDialogs.ShowMessage(NotFoundText);
    kbmProcess.Close();
    kbmProcess.EnableControls();
    return;
  }
  FillPath(visit);
  kbmProcess.EnableControls();
  kbmProcess.First();
  StartHostLookup(kbmProcess.AsString(fpProcess));
}

bool TAddPageAnalysis::ListVisitPath(int visitIndex) {
  if (visitIndex < 0 || visitIndex >= VisitCount()) return false;
  kbmProcess.Close();
  kbmProcess.DisableControls();
  kbmProcess.Open();
  FillPath(visitIndex);
  kbmProcess.EnableControls();
  kbmProcess.First();
  return true;
}

// Lists the visit ordered by time (equal times keep the listing order: address, entry, pages),
// every row between the first and the last with the time until the next row.
void TAddPageAnalysis::FillPath(int visitIndex) {
  std::vector<TPathRow> rows;
  FVisits.ListPath(visitIndex, rows);
  for (const TPathRow& row : rows) {
    kbmProcess.Append();
    kbmProcess.SetInteger(fpID, static_cast<std::int32_t>(row.ID));
    kbmProcess.SetString(fpProcess, row.Text);
    kbmProcess.SetDateTime(fpDateTime, row.Time);
    if (row.HasTimeViewed) kbmProcess.SetDateTime(fpTimeViewed, row.TimeViewed);
    kbmProcess.Post();
  }
  kbmProcess.OrderBy("DateTime", false);
}

std::string TAddPageAnalysis::CheckListKey() const { return std::string(MainKey) + CheckListSubkey; }

void TAddPageAnalysis::FillCheckList(ICheckList& box) {
  TQelBufferedFile file;
  file.SetFileName(FGlobals.ConfigDir() + NotShownListFile);
  file.Open(omReadExisting);
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    if (line.size() >= 2 && line.front() == '<' && line.back() == '>') AddCheckItem(box, line.substr(1, line.size() - 2));
  }
  file.Close();
  if (box.Count() > 0) box.SelectFirst();
}

// A group met for the first time is switched on, and stored so at once.
void TAddPageAnalysis::AddCheckItem(ICheckList& box, const std::string& group) {
  std::int32_t state = 0;
  if (!FGlobals.ReadRegInteger(group, state, CheckListKey())) {
    FGlobals.WriteRegInteger(group, 1, CheckListKey());
    state = 1;
  }
  box.Add(group, state == 1);
}

void TAddPageAnalysis::SaveCheckList(const ICheckList& box) {
  for (int i = 0; i < box.Count(); ++i) FGlobals.WriteRegInteger(box.Text(i), box.Checked(i) ? 1 : 0, CheckListKey());
}

void TAddPageAnalysis::StartHostLookup(const std::string& text) {
  if (!IsIPv4Address(text)) return;
  std::weak_ptr<TAddPageAnalysis*> alive = FAlive;
  FHostLookup.StartReverseLookup(
      text,
      [alive, text](int error, const std::string& name) {
        if (auto self = alive.lock()) (*self)->HostLookupDone(text, error, name);
      },
      [] {});
}

// A resolver that finds no name may answer with the address itself: that is no name either.
void TAddPageAnalysis::HostLookupDone(const std::string& address, int error, const std::string& name) {
  if (error != 0 || name.empty() || name == address) return;
  ReplaceProcessText(address, ShortHostName(name));
}

// Rows holding exactly the address take the new text; the current row stays current.
void TAddPageAnalysis::ReplaceProcessText(std::string_view address, std::string_view newText) {
  if (!kbmProcess.Active() || kbmProcess.IsEmpty()) return;
  kbmProcess.DisableControls();
  const bool hasCurrent = kbmProcess.RecNo() >= 0;
  const std::int32_t currentID = hasCurrent ? kbmProcess.AsInteger(fpID) : 0;
  for (int row = 0; row < kbmProcess.RecordCount(); ++row) {
    std::string_view process = kbmProcess.AsStringViewAt(row, fpProcess);
    if (process != address || TrimSpaceAndControls(process) != address) continue;
    kbmProcess.SetRecNo(row);
    kbmProcess.Edit();
    kbmProcess.SetString(fpProcess, newText);
    kbmProcess.Post();
  }
  if (hasCurrent) kbmProcess.Locate("ID", std::to_string(currentID), false);
  kbmProcess.EnableControls();
}
