#pragma once
// A read-only memory mapping of part of a file, through which a reader sees the bytes without
// copying them. A file cut short while mapped would make reading the lost pages kill the
// process (SIGBUS); here such a page reads as zeros instead and the window reports the cut,
// so that the reader can fail with an error.
#include <cstddef>
#include <cstdint>

class TFileWindow {
public:
  TFileWindow() = default;
  ~TFileWindow();
  TFileWindow(const TFileWindow&) = delete;
  TFileWindow& operator=(const TFileWindow&) = delete;

  static std::int64_t PageSize();

  // Maps `length` bytes of the file from `offset`, a multiple of PageSize(); the previous
  // mapping goes. Null when the system refuses (the caller reads by copying instead).
  const char* Map(int handle, std::int64_t offset, std::size_t length);
  void Unmap();
  // True when a page of a mapping of this window was cut off the file while mapped.
  bool Cut() const;

private:
  int FSlot = -1;  // in the table the fault handler looks at
  const char* FData = nullptr;
  std::size_t FLength = 0;
};
