#pragma once
// The text format of the system's small tables: apostrophe-quoted values separated by ";",
// a header line of field names, one CR LF ended line per record.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class TMemTable;

class ETableFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Writes every visited record of an open table in its order, replacing the file (written to a
// temporary file in the same folder and renamed into place); a record being edited is posted
// first. Date-times are written "dd/mm/yyyy hh:mm:ss"; times, which are spans, "hh:mm:ss" with
// all their hours and a "-" before a negative one. File failures raise EQelFileError naming
// the path; a closed table raises ETableFileError before the file is touched.
void SaveTableFile(TMemTable& table, const std::string& path);

// Where a load found the table's fields and records in the file, for messages that name a line.
struct TTableFileLayout {
  std::int64_t HeaderLine = 0;            // 1-based; 0: the file holds no header
  std::vector<int> HeaderFields;          // the table's fields that the header names
  std::vector<std::int64_t> RecordLines;  // the 1-based file line of each record appended
};

// Appends the records of the file to an open table, in file order. A value that is no
// integer in an integer field raises ETableFileError naming the value, the field and the file;
// the records before it stay. Line ends before the header are passed over. layout, when
// given, is told where the fields and records were.
void LoadTableFile(TMemTable& table, const std::string& path, TTableFileLayout* layout = nullptr);
