// Host values from literal text, the syntax in which the host's users write arguments:
//   2   -1.5e3   3-4i   2.5i          complex numbers (aComplex)
//   "text"  "say \"hi\""              strings (aString); \" and \\ are the only escapes
//   [1, 2; 3, 4]                      matrices, rows separated by ';', cells by ','
//   [1, [2; 3]; "a", 4]               strings and matrices in a matrix are nested cells
// White space (new lines too) may stand between tokens, so the printer's output reads back.
#pragma once

#include <string_view>

#include <vellum/values/allocator.h>
#include <vellum/values/anyval.h>

#include "host/library/pack.h"

namespace vellum::host {

// HostError for malformed text: "malformed literal 'TEXT' at column N: what".
Anyval* parse_literal(IvlAllocator* allocator, std::string_view text);

}  // namespace vellum::host
