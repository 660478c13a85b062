#pragma once
// Fakes of the platform interfaces for the core tests.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/HostLookup.h"
#include "platform/PlainLocalFormat.h"
#include "platform/RunHost.h"
#include "platform/SettingsStore.h"

namespace testsupport {

// Records every box shown; questions and inputs take scripted answers in order.
class TFakeDialogs : public IDialogs {
public:
  struct TShown {
    std::string Kind;  // "warning", "message", "information", "error", "confirm", ...
    std::string Text;
  };
  std::vector<TShown> Shown;
  std::deque<bool> ConfirmAnswers;  // Confirm and AskYesNo
  std::deque<TAnswer> YesNoCancelAnswers;
  std::deque<std::optional<std::string>> InputAnswers;  // nothing: the user cancels
  std::deque<std::optional<std::vector<std::string>>> OpenAnswers;
  std::deque<std::optional<std::string>> SaveAnswers;
  std::deque<bool> CheckAnswers;  // the check box of an accepted save dialog that has one
  std::vector<TFileDialogOptions> DialogOptions;

  void ShowWarning(const std::string& text) override { Shown.push_back({"warning", text}); }
  void ShowMessage(const std::string& text) override { Shown.push_back({"message", text}); }
  void ShowInformation(const std::string& text) override { Shown.push_back({"information", text}); }
  void ShowError(const std::string& text) override { Shown.push_back({"error", text}); }
  bool Confirm(const std::string& text) override { Shown.push_back({"confirm", text}); return Take(ConfirmAnswers); }
  bool AskYesNo(const std::string& text) override { Shown.push_back({"yesno", text}); return Take(ConfirmAnswers); }
  TAnswer AskYesNoCancel(const std::string& text) override {
    Shown.push_back({"yesnocancel", text});
    return Take(YesNoCancelAnswers);
  }
  std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& text) override {
    Shown.push_back({"input", caption + "|" + prompt + "|" + text});
    auto answer = Take(InputAnswers);
    return answer ? *answer : text;
  }
  std::optional<std::vector<std::string>> OpenFiles(const TFileDialogOptions& options) override {
    DialogOptions.push_back(options);
    return Take(OpenAnswers);
  }
  std::optional<std::string> SaveFile(const TFileDialogOptions& options) override {
    DialogOptions.push_back(options);
    auto answer = Take(SaveAnswers);
    if (answer && options.Checked && !CheckAnswers.empty()) {
      *options.Checked = CheckAnswers.front();
      CheckAnswers.pop_front();
    }
    return answer;
  }

  // Texts of the boxes of one kind, in order.
  std::vector<std::string> TextsOf(const std::string& kind) const {
    std::vector<std::string> texts;
    for (const auto& s : Shown)
      if (s.Kind == kind) texts.push_back(s.Text);
    return texts;
  }

private:
  template <class T>
  static T Take(std::deque<T>& answers) {
    if (answers.empty()) throw std::logic_error("a dialog was shown that the test did not expect");
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
};

// Registry semantics in memory: keys must exist before values are written.
class TMemorySettingsStore : public ISettingsStore {
public:
  std::set<std::string> Keys;
  std::map<std::pair<std::string, std::string>, TRegValue> Values;

  bool KeyExists(const std::string& keyPath) override { return Keys.count(keyPath) > 0; }
  void CreateKey(const std::string& keyPath) override {
    std::string::size_type pos = 0;
    while ((pos = keyPath.find('\\', pos + 1)) != std::string::npos) Keys.insert(keyPath.substr(0, pos));
    Keys.insert(keyPath);
  }
  std::optional<TRegValue> ReadValue(const std::string& keyPath, const std::string& name) override {
    auto it = Values.find({keyPath, name});
    if (!KeyExists(keyPath) || it == Values.end()) return std::nullopt;
    return it->second;
  }
  bool WriteValue(const std::string& keyPath, const std::string& name, const TRegValue& value) override {
    if (!KeyExists(keyPath)) return false;
    Values[{keyPath, name}] = value;
    return true;
  }
};

// A host whose clock the test moves; every call is counted.
class TFakeRunHost : public IRunHost {
public:
  std::int64_t Minimum = 0, Maximum = 0;
  std::vector<std::int64_t> Positions;
  int EventRounds = 0;
  std::uint64_t Now = 1000;
  std::uint64_t TickStep = 0;  // added to the clock at every read
  std::function<void()> OnEvents;  // runs while the host processes events (a Stop press, say)

  void SetProgressRange(std::int64_t minimum, std::int64_t maximum) override { Minimum = minimum; Maximum = maximum; }
  void SetProgressPosition(std::int64_t position) override { Positions.push_back(position); }
  void ProcessPendingEvents() override {
    ++EventRounds;
    if (OnEvents) OnEvents();
  }
  std::uint64_t TickCount() override { return Now += TickStep; }
};

// Fixed, locale-free formatting: 2000-10-10 20:55:36 and "." as decimal point.
using TFakeLocalFormat = TPlainLocalFormat;

// Lookups wait until the test completes or fails them, in any order.
class TFakeHostLookup : public IHostLookup {
public:
  struct TPending {
    std::string Address;
    TDone Done;
  };
  std::vector<TPending> Pending;
  bool RefuseStart = false;

  void StartReverseLookup(const std::string& address, TDone done, TStartFailed failed) override {
    if (RefuseStart) {
      failed();
      return;
    }
    Pending.push_back({address, std::move(done)});
  }
  // Completes the lookup at index (error 0 with name, or an error code).
  void Complete(std::size_t index, int error, const std::string& name) {
    auto pending = std::move(Pending.at(index));
    Pending.erase(Pending.begin() + static_cast<std::ptrdiff_t>(index));
    pending.Done(error, name);
  }
};

}  // namespace testsupport
