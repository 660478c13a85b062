// Finding text in an indexed log, against a search of the whole text at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>

#include "log/BackgroundJob.h"
#include "log/IndexedLog.h"
#include "log/TextFinder.h"
#include "support/GzipBytes.h"
#include "support/TestSupport.h"

using testsupport::TTempDir;
using testsupport::WriteBytes;

namespace {

std::string FoldAZ(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::int64_t Reference(const std::string& text, const TFindRequest& request) {
  const std::string hay = request.MatchCase ? text : FoldAZ(text);
  const std::string needle = request.MatchCase ? request.Text : FoldAZ(request.Text);
  std::size_t at;
  if (request.Forward) {
    at = hay.find(needle, static_cast<std::size_t>(request.From));
  } else {
    if (request.From <= 0) return -1;
    at = hay.rfind(needle, static_cast<std::size_t>(request.From - 1));
  }
  return at == std::string::npos ? -1 : static_cast<std::int64_t>(at);
}

std::string RandomLog(unsigned seed) {
  std::mt19937 random(seed);
  // Bytes C1 to DA hold the codes of A to Z in their low bits: they must not fold.
  const std::string words[] = {"GET",  "get", "Error", "ERROR", "error",  "/index.html",
                               "200",  "404", std::string("a\0b", 3),  "ab",  "\xc1\xdaX", "\xe1\xfax"};
  std::string text;
  while (text.size() < 300000) {
    for (int w = static_cast<int>(random() % 8); w >= 0; --w) text += words[random() % 12] + " ";
    text += random() % 3 == 0 ? "\r\n" : "\n";
  }
  return text;
}

}  // namespace

// Pieces of 7 bytes: nearly every hit lies across two of them.
TEST(TextFinder, FindsWhatASearchOfTheWholeTextFinds) {
  TTempDir dir;
  const std::string text = RandomLog(1);
  const std::string path = dir.File("access.log");
  WriteBytes(path, text);
  TIndexedLog log(path);
  const std::atomic<bool> cancel{false};
  log.BuildIndex(cancel);
  auto reader = log.NewReader();
  std::mt19937 random(2);
  const std::string needles[] = {"error", "ERROR", "Error", "x.html 2", std::string("a\0b", 3), "404 \r\nGET", "GET",
                                 "\xc1\xdax", "\xe1\xfaX"};
  for (const std::size_t piece : {std::size_t(7), std::size_t(4096)}) {
    TTextFinder finder(piece);
    for (int k = 0; k < 300; ++k) {
      TFindRequest request;
      request.Text = needles[random() % 9];
      request.MatchCase = random() % 2 == 0;
      request.Forward = random() % 2 == 0;
      request.From = static_cast<std::int64_t>(random() % (text.size() + 1));
      const std::int64_t expected = request.Text.find('\n') != std::string::npos ? -1 : Reference(text, request);
      ASSERT_EQ(finder.Find(log, *reader, request, cancel), expected)
          << request.Text << " case " << request.MatchCase << " forward " << request.Forward << " from " << request.From;
    }
  }
}

// A forward search waits for the index that is still being built, in a compressed log too.
TEST(TextFinder, ForwardSearchFollowsTheIndexUnderWay) {
  TTempDir dir;
  std::string text;
  for (int i = 0; i < 300000; ++i) text += "10.0.0." + std::to_string(i % 250) + " GET /page" + std::to_string(i) + "\n";
  text += "the last line\n";
  const std::string path = dir.File("access.log.gz");
  WriteBytes(path, testsupport::GzipBytes(text));
  TIndexedLog log(path, 256 * 1024);
  TBackgroundJob build;
  build.Start([&](const std::atomic<bool>& cancel) { log.BuildIndex(cancel); });
  TTextFinder finder;
  auto reader = log.NewReader();
  const std::atomic<bool> cancel{false};
  TFindRequest request{"THE LAST", false, true, 0};
  EXPECT_EQ(finder.Find(log, *reader, request, cancel), static_cast<std::int64_t>(text.size()) - 14);
  build.Wait();
  EXPECT_FALSE(build.TakeError());
  const std::atomic<bool> stop{true};
  EXPECT_EQ(finder.Find(log, *reader, request, stop), -1);
  request.Forward = false;
  request.From = 5;
  EXPECT_EQ(finder.Find(log, *reader, {"10.0.0.0", true, false, 5}, cancel), 0);
}
