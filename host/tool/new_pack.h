// `vellum-host new NAME [DIR]`: a pack project that builds and passes its test as written.
#pragma once

#include <string>

namespace vellum::host {

// Writes DIR/NAME.cpp (one element-wise and one matrix function), DIR/NAME_test.cpp and
// DIR/CMakeLists.txt, which finds the installed package. DIR defaults to NAME. HostError for a
// NAME that is no C identifier, or when one of the files exists already; nothing is overwritten.
int run_new(std::string const& name, std::string const& dir);

}  // namespace vellum::host
