// Questions a pack asks of a matrix argument before working on it: is it Hermitian or
// symmetric, and what kinds of cells (numbers, nested values, strings) does the whole matrix, a
// row or a column hold. Cell kinds are read from the real part alone. None of them changes M.
#pragma once

#include <vellum/numerics/cell_predicates_table.h>
#include <vellum/values/matrix.h>

// Whether M equals its conjugate transpose, compared exactly over the leading cols x cols
// square (a matrix with more rows than columns is tested on that square; one with fewer rows
// than columns cannot equal its conjugate transpose and is answered false). The result is set
// to false first; "invalid dimension" when M has no rows or no columns. A nested cell, being a
// not-a-number pattern, equals nothing, so a matrix that holds one is never Hermitian.
VELLUM_API char const* hermtest(aMatrix* M, bool& result);
// Whether M is square and equals its plain transpose in both parts (no conjugation), compared
// exactly; a nested cell off the diagonal makes it false.
VELLUM_API bool symmetry(aMatrix* M);



#define VELLUM_DECLARE_CELL_PREDICATE(name, scan, question) VELLUM_API bool name(VELLUM_CELL_SCAN_PARAMS_##scan);
VELLUM_CELL_PREDICATES(VELLUM_DECLARE_CELL_PREDICATE)
#undef VELLUM_DECLARE_CELL_PREDICATE

#undef VELLUM_CELL_PREDICATES
#undef VELLUM_CELL_SCAN_PARAMS_Whole
#undef VELLUM_CELL_SCAN_PARAMS_Row
#undef VELLUM_CELL_SCAN_PARAMS_Column
