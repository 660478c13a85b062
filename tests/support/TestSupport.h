#pragma once
// Helpers shared by the core tests: a temporary folder per test and small file helpers.
#include <filesystem>
#include <string>

namespace testsupport {

// A fresh empty folder below the system's temporary folder, removed again on destruction.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // Full path of a name inside the folder, as text.
  std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
  std::filesystem::path FPath;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// The folder of real public logs that some tests read when it is there (they skip
// otherwise): $TREVALO_CORPUS, else the corpus beside the repository (../shared/corpus).
std::string CorpusDir();
// Real user agents labelled by other tools, read by tests when there: $TREVALO_UA_CASES, else
// the file beside the repository (../shared/ua/cases.json).
std::string LabelledAgentsFile();

}  // namespace testsupport
