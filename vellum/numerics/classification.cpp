#include <vellum/numerics/classification.h>

#include <optional>

#include <vellum/numerics/parts.h>
#include <vellum/values/error_texts.h>
#include <vellum/values/matrix_cells.h>

// The table again: the header above undefined it once it had declared what it generates.
#include <vellum/numerics/cell_predicates_table.h>

using vellum::numerics::imag_cell;
using vellum::numerics::real_cell;

namespace {

bool is_string_cell(double cell) noexcept {
  return vellum::is_nested_cell(cell) && vellum::nested_value(cell)->tag == ValueTag::String;
}

// The questions, each a verdict on one cell (none while undecided) and the answer when the scan
// ends undecided.
struct Any {
  static constexpr bool kUndecided = false;
  std::optional<bool> operator()(double cell) const noexcept {
    if (vellum::is_nested_cell(cell)) return true;
    return std::nullopt;
  }
};
struct String {
  static constexpr bool kUndecided = false;
  std::optional<bool> operator()(double cell) const noexcept {
    if (is_string_cell(cell)) return true;
    return std::nullopt;
  }
};
struct Mixed {
  static constexpr bool kUndecided = false;
  bool nested = false;
  bool number = false;
  std::optional<bool> operator()(double cell) noexcept {
    (vellum::is_nested_cell(cell) ? nested : number) = true;
    if (nested && number) return true;
    return std::nullopt;
  }
};
struct Ptrs {
  static constexpr bool kUndecided = true;
  std::optional<bool> operator()(double cell) const noexcept {
    if (!vellum::is_nested_cell(cell) || is_string_cell(cell)) return false;
    return std::nullopt;
  }
};
struct Strings {
  static constexpr bool kUndecided = true;
  std::optional<bool> operator()(double cell) const noexcept {
    if (!is_string_cell(cell)) return false;
    return std::nullopt;
  }
};

// Scans the cells [row_first, row_end) x [col_first, col_end), column by column; the first
// decisive cell ends the scan.
template <class Question>
bool scan(aMatrix const* M, std::int32_t row_first, std::int32_t row_end, std::int32_t col_first,
          std::int32_t col_end) noexcept {
  if (!M->real) return Question::kUndecided;
  Question question;
  for (std::int32_t j = col_first; j < col_end; ++j)
    for (std::int32_t i = row_first; i < row_end; ++i)
      if (std::optional<bool> verdict = question(M->real[vellum::cell_index(M->ld, i, j)])) return *verdict;
  return Question::kUndecided;
}

template <class Question>
bool scan_Whole(aMatrix const* M) noexcept {
  return scan<Question>(M, 0, M->rows, 0, M->cols);
}
template <class Question>
bool scan_Row(aMatrix const* M, int row) noexcept {
  return scan<Question>(M, row, row + 1, 0, M->cols);
}
template <class Question>
bool scan_Column(aMatrix const* M, int col) noexcept {
  return scan<Question>(M, 0, M->rows, col, col + 1);
}

}  // namespace

char const* hermtest(aMatrix* M, bool& result) {
  result = false;
  if (M->rows < 1) return vellum::error_text::invalid_dimension;
  if (M->cols < 1) return vellum::error_text::invalid_dimension;
  std::int32_t const n = M->cols;
  if (M->rows < n) return nullptr;
  for (std::int32_t i = 0; i < n; ++i)
    for (std::int32_t j = i; j < n; ++j) {
      if (real_cell(M, i, j) != real_cell(M, j, i)) return nullptr;
      if (imag_cell(M, i, j) != -imag_cell(M, j, i)) return nullptr;
    }
  result = true;
  return nullptr;
}

bool symmetry(aMatrix* M) {
  if (M->rows != M->cols) return false;
  std::int32_t const n = M->rows;
  if (n <= 1) return true;
  for (std::int32_t i = 0; i < n - 1; ++i)
    for (std::int32_t j = i + 1; j < n; ++j)
      if (real_cell(M, i, j) != real_cell(M, j, i) || imag_cell(M, i, j) != imag_cell(M, j, i)) return false;
  return true;
}

#define VELLUM_CELL_SCAN_ARGS_Whole M
#define VELLUM_CELL_SCAN_ARGS_Row M, row
#define VELLUM_CELL_SCAN_ARGS_Column M, col
#define VELLUM_DEFINE_CELL_PREDICATE(name, scan, question) \
  bool name(VELLUM_CELL_SCAN_PARAMS_##scan) { return scan_##scan<question>(VELLUM_CELL_SCAN_ARGS_##scan); }
VELLUM_CELL_PREDICATES(VELLUM_DEFINE_CELL_PREDICATE)
#undef VELLUM_DEFINE_CELL_PREDICATE
