// Reads the expected-results tables that make_oracles.py writes at build time.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace tstools::testing {

inline std::vector<std::string> ReadOracleLines(const char *name) {
  std::string path = std::string(TSTOOLS_NUMERICS_ORACLES) + "/" + name;
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  EXPECT_FALSE(lines.empty()) << "no oracle table at " << path;
  return lines;
}

}  // namespace tstools::testing
