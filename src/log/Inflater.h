#pragma once
// A zlib inflate stream for the gzip readers (GzipStream.h, GzipPieceReader.h): set up for
// gzip data with a 32 KiB window, ended with its owner.
#include <zlib.h>

#include <new>

struct TInflater {
  static constexpr int GzipWindowBits = 15 + 16;  // header and trailer expected
  static constexpr int RawWindowBits = -15;       // deflate data only

  z_stream Z{};
  TInflater() {
    if (inflateInit2(&Z, GzipWindowBits) != Z_OK) throw std::bad_alloc();
  }
  ~TInflater() { inflateEnd(&Z); }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;
};
