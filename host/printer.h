// Values as a host shows them: numbers, "strings", [row; row] matrices with nested cells,
// and errors with the argument they name.
#pragma once

#include <string>

#include <vellum/values/anyval.h>

namespace vellum::host {

std::string format_number(double real, double imag);
std::string format_value(Anyval const* value);

}  // namespace vellum::host
