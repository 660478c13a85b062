#pragma once
// What can be known of a regular expression (RE2's syntax) from its text alone, so that most
// agents are answered without it: thousands of rules are compiled only when an agent might
// match them, and then in a cheap form.
//
// Required texts: every match contains one of them. "(Chrome)/(\d+)" needs "Chrome/",
// "(Edge|Edg)/" needs "Edge/" or "Edg/". A rule need only be tried on an agent that holds one.
//
// A wider pattern: the bounded repetitions of single characters made unbounded, each wrapped
// in a group of its own (".{0,200}" as "(.*)", "[a-z]{1,50}?" as "([a-z]+?)"). It matches
// whatever the pattern matches, and compiles in a fraction of the time. When its match keeps
// every such group within the bound it lifted, that match is the pattern's own match, groups
// included: the paths of the two expressions that keep to the bounds are the same and are
// preferred in the same order, so the wider one's first choice, keeping to them, is the
// pattern's first choice too. Only when a bound is passed must the pattern itself be asked.
//
// The analysis is conservative: where the pattern holds anything it does not follow (a back
// reference, \Q..\E, an unusual escape), there are no texts and no wider pattern, and the rule
// is tried, as written, on every agent. Costs: a microsecond or two per pattern.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TPatternPrefilter {
  static constexpr std::size_t MinLength = 3;  // shorter texts are no use for lookups

  // Each match contains at least one of them; empty: no requirement is known.
  std::vector<std::string> Texts;
  // The texts compare without ASCII letter case (the pattern, or a part of it, ignores case).
  bool Caseless = false;

  // The wider pattern; empty when there is none (no bounded repetition to lift).
  std::string Wider;
  // The wider pattern's number for each group of the pattern: WiderGroup[n] for group n
  // (WiderGroup[0] = 0, the whole match).
  std::vector<int> WiderGroup;
  // The groups the wider pattern added, each with the length its repetition may not pass.
  struct TBound {
    int Group = 0;
    std::size_t Max = 0;
  };
  std::vector<TBound> Bounds;
  int WiderGroupCount = 0;  // groups of the wider pattern, the whole match not counted
};

TPatternPrefilter PrefilterOf(std::string_view pattern, bool caseless);
