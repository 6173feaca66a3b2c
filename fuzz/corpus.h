// The checked-in inputs of the fuzz targets, compiled into the replaying test program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellum::fuzz {

struct CorpusInput {
  std::string target;
  std::string name;
  std::vector<std::uint8_t> bytes;
};

std::vector<CorpusInput> const& corpus();

}  // namespace vellum::fuzz
