#pragma once
// The visitor-path analysis behind TFrameAddPage: keeps one row per shown request of a run,
// groups the rows into visits after the run, lists the path of the visit a request belongs
// to, and names the visit's host by a reverse lookup.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analyses/PageRule.h"
#include "analyses/VisitList.h"
#include "base/MemTable.h"

class Tglobals;
class IDialogs;
class IHostLookup;
class ICheckList;
class TDSearchPattern;

inline constexpr const char* NotShownListFile = "notschown.lst";
inline constexpr const char* CheckListSubkey = "\\ProccesCheckList";
inline constexpr const char* NotFoundText = "not found";

class TAddPageAnalysis {
public:
  TAddPageAnalysis(const Tglobals& globals, IDialogs& dialogs, IHostLookup& hostLookup);
  ~TAddPageAnalysis();
  TAddPageAnalysis(const TAddPageAnalysis&) = delete;
  TAddPageAnalysis& operator=(const TAddPageAnalysis&) = delete;

  // ID, TCPIP (120), DateTime, from (100), to (50), checked: the requests of the run.
  TMemTable kbmData;
  // ID, Process (255), DateTime, TimeViewed: the path shown.
  TMemTable kbmProcess;

  // Run protocol.
  void CreateTree();
  void FreeTree();
  void ClearResults();
  void PrepareRun();  // raises the file error when the not-shown list is missing
  void HandleLine(const std::string& line, TDSearchPattern& parser);
  // Reads what HandleLine reads of the line, changing nothing: raises the errors it would.
  void CheckLine(const std::string& line, TDSearchPattern& parser) const;
  // Keeps one request (what HandleLine keeps of a line that the not-shown list lets pass).
  void AddRequest(std::string_view address, double dateTime, std::string_view request);
  void FinishRun();
  // Whether the request grid takes clicks: not between PrepareRun and FinishRun.
  bool DataEnabled() const { return FDataEnabled; }

  // Visits, in the order of their first request: each is the address, the entry text at the
  // visit's time, and the pages. A gap of exactly the time area begins a new visit, and
  // addresses compare exactly (the other visit rule is in WSSearchUser.h).
  void BuildVisits();
  const TVisitList& Visits() const { return FVisits; }
  int VisitCount() const { return FVisits.Count(); }
  std::string_view EntryText(std::string_view from) const;

  // The visit (index in Visits()) that ShowPath lists for the request at view position row
  // of kbmData: the first visit holding a node of the request's page and time. -1 when none
  // does.
  int VisitOfRow(int row) const;
  // Lists in kbmProcess the visit holding the request at view position row of kbmData, then
  // starts the lookup of its address; shows "not found" when no visit holds it.
  void ShowPath(int row);
  // Lists the visit at visitIndex as ShowPath would, without a lookup; false when none.
  bool ListVisitPath(int visitIndex);

  // The process check list: the groups of the not-shown list file and their stored states.
  void FillCheckList(ICheckList& box);
  void SaveCheckList(const ICheckList& box);

  // Host names of visit addresses.
  void StartHostLookup(const std::string& text);
  void HostLookupDone(const std::string& address, int error, const std::string& name);
  void ReplaceProcessText(std::string_view address, std::string_view newText);

  const std::string& MainPage() const { return FMainPage; }
  double TimeArea() const { return FTimeArea; }

private:
  void EndCollecting();
  void FillPath(int visitIndex);
  void AddCheckItem(ICheckList& box, const std::string& group);
  std::string CheckListKey() const;

  const Tglobals& FGlobals;
  IDialogs& FDialogs;
  IHostLookup& FHostLookup;
  TVisitList FVisits;
  std::string FMainPage;
  TNotShownFilter FNotShown;
  double FTimeArea = 0;
  std::int32_t FNextID = 0;
  bool FCollecting = false;  // between PrepareRun and FinishRun; kbmData's display is held
  bool FDataEnabled = true;
  // Pending lookups hold it weakly, so an answer after this object is gone is dropped.
  std::shared_ptr<TAddPageAnalysis*> FAlive;
};
