#pragma once
// The text format of the system's small tables: apostrophe-quoted values separated by ";",
// a header line of field names, one CR LF ended line per record.
#include <stdexcept>
#include <string>

class TMemTable;

class ETableFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Writes every record of an open table, replacing the file (written to a temporary file in
// the same folder and renamed into place). File failures raise EQelFileError naming the path.
void SaveTableFile(TMemTable& table, const std::string& path);

// Appends the records of the file to an open table, in file order. A value that is no
// integer in an integer field raises ETableFileError naming the value, the field and the file.
void LoadTableFile(TMemTable& table, const std::string& path);
