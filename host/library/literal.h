// Host values from literal text, the syntax in which the host's users write arguments:
//   2   -1.5e3   3-4i   2.5i          complex numbers (aComplex)
//   inf   -nan   nan(0x1)   1 - infi  the doubles digits cannot write; nan(0x...) gives the payload
//   "text"  "say \"hi\"\t\x01"         strings (aString); escapes \" \\ \t \n \r \xHH (not NUL)
//   [1, 2; 3, 4]                      matrices, rows separated by ';', cells by ','
//   [1, [2; 3]; "a", 4]               strings and matrices in a matrix are nested cells
//   []   [](0x3)                      matrices without rows: of one column, of the columns given
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
