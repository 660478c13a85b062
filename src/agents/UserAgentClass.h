#pragma once
// What a user agent is taken for: its browser family and major version, its operating system
// family and, for a crawler, the crawler's name. An empty text: nothing names it.
#include <string>

struct TUserAgentClass {
  std::string Browser;
  std::string BrowserVersion;
  std::string System;
  std::string Crawler;

  bool IsCrawler() const { return !Crawler.empty(); }
  bool operator==(const TUserAgentClass&) const = default;
};
