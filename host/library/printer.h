// Values as a host shows them: numbers, "strings", [row; row] matrices with nested cells,
// and errors with the argument they name.
#pragma once

#include <string>

#include <vellum/values/anyval.h>

namespace vellum::host {

std::string format_number(double real, double imag);
// One line; what it prints reads back through parse_literal (host/library/literal.h) as the same
// value, bit for bit; numbers in the shortest digits that do so.
std::string format_value(Anyval const* value);
// As a host shows a result: a matrix one row per line with its columns aligned.
std::string format_display(Anyval const* value);

}  // namespace vellum::host
