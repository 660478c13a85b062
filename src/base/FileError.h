#pragma once
// The error of every file the system reads or writes; its message names the file.
#include <stdexcept>

class EQelFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
