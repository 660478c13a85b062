#pragma once
// The list editor behind TfrmValues: the input files ("FileList.lst") and the lock words
// ("BaneWords.lst") of config/. Every change is written to the list file at once; export and
// import exchange the list with a file of the user's choice.
#include <functional>
#include <string>
#include <vector>

class Tglobals;
class IDialogs;

enum class TValuesMode { InputFiles = 0, LockWords = 1 };

inline constexpr const char* InputFileList = "FileList.lst";
inline constexpr const char* LockWordList = "BaneWords.lst";

class TValuesEditor {
public:
  // Shows the editor's window modally and returns when it is closed.
  using TShowModal = std::function<void()>;

  TValuesEditor(const Tglobals& globals, IDialogs& dialogs);

  // Offered to the main window.
  // Fills the editor with the input files, shows it and reports whether the list changed.
  bool EditInputFiles();
  void EditLockWords();
  // Adds files to the input files as the add command adds the files chosen (for files dropped
  // onto the main window) and reports whether the list changed.
  bool AddInputFiles(const std::vector<std::string>& files);
  // True when the input-file list has a line, an empty one included.
  bool HasInputFiles() const;
  // The lock words (true) or the input files (false), as stored.
  std::vector<std::string> GetList(bool lockWords) const;

  // The window sets how it is shown; without it the Edit calls show nothing.
  void SetShowModal(TShowModal show) { FShowModal = std::move(show); }
  // Called after every change of the entries (also when writing them failed afterwards).
  std::function<void()> OnListChanged;

  // Sets the mode and reads its list file into the entries.
  void Fill(TValuesMode mode);
  TValuesMode Mode() const { return FMode; }
  std::string Caption() const;
  std::string AddHint() const;
  const std::vector<std::string>& Values() const { return FValues; }
  bool CanWriteToFile() const { return !FValues.empty(); }
  bool Changed() const { return FChanged; }

  // Toolbar commands. Delete removes the entries at the given positions, or all entries when
  // none is given, after the user confirmed; an empty list asks nothing.
  void Add();
  void Delete(const std::vector<int>& selected);
  void LoadFromFile();
  void WriteToFile();

  static const char* ListFileOf(TValuesMode mode);
  // The settings key of the export and import folders: the main key's path + this suffix.
  static const char* DialogKeySuffixOf(TValuesMode mode);

private:
  void AddInputFiles();
  void AppendInputFiles(const std::vector<std::string>& files);
  void AddLockWord();
  void Append(const std::string& value);
  void ListChanged();
  void WriteList() const;
  std::string DialogKey() const;
  void StoreFolder(const std::string& name, const std::string& path, const std::string& keyPath) const;

  const Tglobals& FGlobals;
  IDialogs& FDialogs;
  TShowModal FShowModal;
  TValuesMode FMode = TValuesMode::InputFiles;
  std::vector<std::string> FValues;
  bool FChanged = false;
};
