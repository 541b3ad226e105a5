#pragma once
// What the scene-writer tests share: the temporary folder fixture, and the
// numbers and counts of calls in a page.
#include <gtest/gtest.h>

#include "tests/support/TempFolderTest.h"

#include <sstream>
#include <string>
#include <vector>

namespace zem::testing {

// The numbers of every "prefix(...)" call in text, one list per call.
inline std::vector<std::vector<double>> Calls(const std::string& text, const std::string& prefix) {
  std::vector<std::vector<double>> calls;
  for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) {
    auto open = at + prefix.size();
    auto close = text.find(')', open);
    std::string args = text.substr(open, close - open);
    std::vector<double> numbers;
    std::stringstream in(args);
    std::string item;
    while (std::getline(in, item, ',')) numbers.push_back(std::stod(item));
    calls.push_back(numbers);
  }
  return calls;
}

inline std::size_t Count(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

}  // namespace zem::testing
