#include "analyses/W2frmAddPage.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "analyses/HostName.h"
#include "analyses/TextCompare.h"
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

std::unique_ptr<TMember> NewNode(std::string_view text, double time) {
  return std::make_unique<TMember>(std::string(text), time);
}

// One row per node, a node before its children; id numbers the rows.
void AppendNodes(TMemTable& table, const TMember& node, int& id) {
  table.Append();
  table.SetInteger(fpID, id++);
  table.SetString(fpProcess, node.Text);
  table.SetDateTime(fpDateTime, node.Time);
  table.Post();
  for (int i = 0; i < node.Count(); ++i) AppendNodes(table, *node.Child(i), id);
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

void TAddPageAnalysis::CreateTree() {
  if (!FRoot) FRoot = std::make_unique<TMember>();
  FDataEnabled = true;
}

void TAddPageAnalysis::FreeTree() {
  FPathIndex.clear();
  FRoot.reset();
}

void TAddPageAnalysis::ClearResults() {
  EndCollecting();
  kbmData.Close();
  kbmProcess.Close();
  FPathIndex = {};
  if (FRoot) FRoot->ClearChildren();
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
  kbmData.SetString(fdTCPIP, TrimBlanks(address));
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

int TAddPageAnalysis::VisitCount() const { return FRoot ? FRoot->Count() : 0; }

// The requests of one address form a visit while each follows the one before by less than
// the time area; visits are numbered in the order of their first request, pages join in
// time order. One pass over the rows in time order, with the open visit of each address in
// a hash map.
void TAddPageAnalysis::BuildVisits() {
  if (!FRoot) FRoot = std::make_unique<TMember>();
  FRoot->ClearChildren();
  FRoot->Text = "ROOT";
  FPathIndex = {};
  const double area = FTimeArea = FGlobals.GetTimeArea();
  if (!kbmData.Active()) return;

  struct TOpenVisit {
    TMember* Node;
    double Latest;
    std::int32_t Index;
  };
  std::unordered_map<std::string, TOpenVisit, TExactHash, std::equal_to<>> openVisits;
  const int rows = kbmData.RecordCount();
  FPathIndex.reserve(static_cast<std::size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    std::string_view address = kbmData.AsStringViewAt(row, fdTCPIP);
    const double time = kbmData.AsDateTimeAt(row, fdDateTime);
    std::string_view entryText = EntryText(kbmData.AsStringViewAt(row, fdFrom));
    auto pageNode = NewNode(kbmData.AsStringViewAt(row, fdTo), time);
    const TMember* page = pageNode.get();
    auto open = openVisits.find(address);
    if (open != openVisits.end() && time - open->second.Latest < area - HalfMillisecond) {
      TMember::AddBelow(*open->second.Node, std::move(pageNode), entryText);
      open->second.Latest = time;
    } else {
      TMember* visit = FRoot->Add(NewNode(address, time));
      visit->Add(NewNode(entryText, time))->Add(std::move(pageNode));
      TOpenVisit opened{visit, time, FRoot->Count() - 1};
      if (open == openVisits.end())
        open = openVisits.emplace(std::string(address), opened).first;
      else
        open->second = opened;
    }
    FPathIndex.push_back({time, open->second.Index, page});
  }
  // Rows come in time order after FinishRun; the search below needs the index so.
  auto earlier = [](const TPathEntry& a, const TPathEntry& b) { return a.Time < b.Time; };
  if (!std::is_sorted(FPathIndex.begin(), FPathIndex.end(), earlier))
    std::stable_sort(FPathIndex.begin(), FPathIndex.end(), earlier);
  for (kbmData.First(); !kbmData.Eof(); kbmData.Next()) {
    kbmData.Edit();
    kbmData.SetBoolean(fdChecked, true);
    kbmData.Post();
  }
  kbmData.First();
}

// The first visit holding a node of that text and time, as searching the visits one after
// the other would find it. Only the rows of that time can hold such a node: their page
// nodes, and the address and entry nodes of the visits they begin.
int TAddPageAnalysis::FindVisit(std::string_view text, double time) const {
  auto range = std::equal_range(FPathIndex.begin(), FPathIndex.end(), TPathEntry{time, 0, nullptr},
                                [](const TPathEntry& a, const TPathEntry& b) { return a.Time < b.Time; });
  int found = std::numeric_limits<int>::max();
  for (auto it = range.first; it != range.second; ++it) {
    if (it->Visit >= found) continue;
    const TMember* visit = FRoot->Child(it->Visit);
    bool holds = it->Page->Text == text ||
                 (visit->Time == time && (visit->Text == text || visit->Child(0)->Text == text));
    if (holds) found = it->Visit;
  }
  return found == std::numeric_limits<int>::max() ? -1 : found;
}

int TAddPageAnalysis::VisitOfRow(int row) const {
  if (!kbmData.Active() || row < 0 || row >= kbmData.RecordCount()) return -1;
  return FindVisit(kbmData.AsStringViewAt(row, fdTo), kbmData.AsDateTimeAt(row, fdDateTime));
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

// Lists the visit, orders it by time (equal times keep the listing order), and gives every
// row between the first and the last the time until the next row.
void TAddPageAnalysis::FillPath(int visitIndex) {
  ListVisit(*FRoot->Child(visitIndex));
  kbmProcess.OrderBy("DateTime", false);
  for (int row = kbmProcess.RecordCount() - 2; row >= 1; --row) {
    const double next = kbmProcess.AsDateTimeAt(row + 1, fpDateTime);
    if (next == 0) continue;
    kbmProcess.SetRecNo(row);
    kbmProcess.Edit();
    kbmProcess.SetDateTime(fpTimeViewed, next - kbmProcess.AsDateTime(fpDateTime));
    kbmProcess.Post();
  }
}

void TAddPageAnalysis::ListVisit(const TMember& node) {
  // The IDs are counted here: asking the table for its count after each row would order
  // its view again every time.
  int id = kbmProcess.RecordCount();
  AppendNodes(kbmProcess, node, id);
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
    if (process != address || TrimBlanks(process) != address) continue;
    kbmProcess.SetRecNo(row);
    kbmProcess.Edit();
    kbmProcess.SetString(fpProcess, newText);
    kbmProcess.Post();
  }
  if (hasCurrent) kbmProcess.Locate("ID", std::to_string(currentID), false);
  kbmProcess.EnableControls();
}
