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

// Writes every visited record of an open table in its order, replacing the file (written to a
// temporary file in the same folder and renamed into place); a record being edited is posted
// first. Date-times are written "dd/mm/yyyy hh:mm:ss"; times, which are spans, "hh:mm:ss" with
// all their hours and a "-" before a negative one. File failures raise EQelFileError naming
// the path; a closed table raises ETableFileError before the file is touched.
void SaveTableFile(TMemTable& table, const std::string& path);

// Appends the records of the file to an open table, in file order. A value that is no
// integer in an integer field raises ETableFileError naming the value, the field and the file;
// the records before it stay. Line ends before the header are passed over.
void LoadTableFile(TMemTable& table, const std::string& path);
