#include "host/library/literal.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <vellum/values/complex.h>
#include <vellum/values/matrix_cells.h>
#include <vellum/values/string.h>

#include "host/library/values.h"

namespace vellum::host {

namespace {

struct Cell {
  double real = 0.0;
  double imag = 0.0;
};

class Parser {
 public:
  Parser(IvlAllocator* allocator, std::string_view text) : allocator_(allocator), text_(text) {}

  Anyval* whole() {
    Anyval* value = value_at();
    skip_space();
    if (pos_ != text_.size()) fail("unexpected text after the value");
    return value;
  }

 private:
  [[noreturn]] void fail(std::string const& what) const {
    // The message is read as a C string: a NUL byte of the text is shown, not let end it. A long
    // text is shown by its start; the column finds the fault.
    std::string shown;
    for (char c : text_.substr(0, kShownBytes)) shown += c == '\0' ? std::string("\\0") : std::string(1, c);
    if (text_.size() > kShownBytes) shown += "... (" + std::to_string(text_.size()) + " bytes)";
    throw HostError("malformed literal '" + shown + "' at column " + std::to_string(pos_ + 1) + ": " + what);
  }
  static bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  static bool is_digit(char c) { return c >= '0' && c <= '9'; }
  void skip_space() {
    while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
  }
  char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

  Anyval* value_at() {
    skip_space();
    char c = peek();
    if (c == '"') return aString::mk(allocator_, string_at().c_str());
    if (c == '[') return matrix_at();
    Cell z = number_at();
    aComplex* record = nullptr;
    allocator_->AllocComplex(&record);
    record->tag = ValueTag::Complex;
    record->reserved = 0;
    record->real = z.real;
    record->imag = z.imag;
    return record;
  }

  std::string string_at() {
    ++pos_;
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) fail("string without its closing quote");
      char c = text_[pos_++];
      if (c == '"') return out;
      if (c == '\\') c = escaped();
      out += c;
    }
  }

  // After a backslash: \" \\ \t \n \r, or \xHH for any byte but NUL, which ends a host's string.
  char escaped() {
    char const c = peek();
    ++pos_;
    switch (c) {
      case '"':
      case '\\':
        return c;
      case 't':
        return '\t';
      case 'n':
        return '\n';
      case 'r':
        return '\r';
      case 'x': {
        unsigned byte = 0;
        auto [end, fault] = std::from_chars(text_.data() + pos_, text_.data() + std::min(pos_ + 2, text_.size()), byte, 16);
        if (fault != std::errc() || end != text_.data() + pos_ + 2) fail("\\x without two hexadecimal digits");
        pos_ += 2;
        if (byte == 0) fail("a string ends at its first NUL byte: \\x00 cannot stand inside one");
        return static_cast<char>(byte);
      }
      case '0':
        fail("a string ends at its first NUL byte: \\0 cannot stand inside one");
    }
    --pos_;
    fail("unknown escape in string");
  }

  // inf, nan and nan(0xPAYLOAD): the words in which the printer writes what digits cannot.
  bool special_number(double& out) {
    if (text_.substr(pos_, 3) == "inf") {
      pos_ += 3;
      out = std::numeric_limits<double>::infinity();
      return true;
    }
    if (text_.substr(pos_, 3) != "nan") return false;
    pos_ += 3;
    std::uint64_t payload = kQuietNanPayload;
    if (peek() == '(') {
      if (text_.substr(pos_, 3) != "(0x") fail("a NaN's payload is written (0x...)");
      pos_ += 3;
      auto [end, fault] = std::from_chars(text_.data() + pos_, text_.data() + text_.size(), payload, 16);
      if (fault != std::errc() || payload == 0 || payload > kPayloadMask) fail("a NaN's payload is 0x1 to 0xfffffffffffff");
      pos_ = static_cast<std::size_t>(end - text_.data());
      if (peek() != ')') fail("a NaN's payload without its closing )");
      ++pos_;
    }
    out = std::bit_cast<double>(kExponentMask | payload);
    return true;
  }

  // digits [. digits] [e [sign] digits], unsigned (as from_chars reads it, without a sign), or
  // a special number; returns false when neither starts here.
  bool unsigned_number(double& out) {
    if (special_number(out)) return true;
    if (!is_digit(peek()) && peek() != '.') return false;
    std::size_t const start = pos_;
    char const* const begin = text_.data() + start;
    auto [end, fault] = std::from_chars(begin, text_.data() + text_.size(), out);
    if (fault == std::errc::invalid_argument) return false;
    pos_ = static_cast<std::size_t>(end - text_.data());
    // from_chars stops before an 'e' that no digits follow.
    if ((peek() == 'e' || peek() == 'E') && std::string_view(begin, end).find_first_of("eE") == std::string_view::npos) {
      ++pos_;
      if (peek() == '+' || peek() == '-') ++pos_;
      fail("exponent without digits");
    }
    // Beyond the range of doubles from_chars reports only that the number is; the C library
    // rounds it (to zero, or to infinity).
    if (fault == std::errc::result_out_of_range) out = std::strtod(std::string(begin, end).c_str(), nullptr);
    // Beyond the largest double the number would read as infinity, which prints as no literal
    // reads; tiny numbers round to the nearest double (or zero) as usual.
    if (std::isinf(out)) {
      pos_ = start;
      fail("number out of range");
    }
    return true;
  }

  double signed_part(bool& negative) {
    negative = false;
    if (peek() == '+' || peek() == '-') negative = text_[pos_++] == '-';
    skip_space();
    double x = 0.0;
    if (!unsigned_number(x)) fail(pos_ >= text_.size() ? "value missing" : "not a number, string or matrix");
    return negative ? -x : x;
  }

  // real, real 'i', or real (+|-) real 'i'
  Cell number_at() {
    bool negative = false;
    double first = signed_part(negative);
    if (peek() == 'i') {
      ++pos_;
      return {0.0, first};
    }
    std::size_t after_real = pos_;
    skip_space();
    if (peek() != '+' && peek() != '-') {
      pos_ = after_real;
      return {first, 0.0};
    }
    double second = signed_part(negative);
    if (peek() != 'i') fail("imaginary part without its i");
    ++pos_;
    return {first, second};
  }

  Anyval* matrix_at() {
    // Each level of nesting is a level of recursion: a bound keeps deep text from exhausting
    // the stack, far beyond what anyone writes.
    if (depth_ == kMaxNesting) fail("matrices nested more than " + std::to_string(kMaxNesting) + " deep");
    ++depth_;
    Anyval* matrix = matrix_body();
    --depth_;
    return matrix;
  }

  // [] or [](0xCOLS): a matrix without rows, of one column or of the columns given (a record has
  // at least one column).
  Anyval* empty_matrix() {
    ++pos_;
    MatrixLiteral literal{0, 1, std::nullopt, std::nullopt, 0};
    if (peek() != '(') return make_matrix(allocator_, literal);
    std::size_t const open = pos_;
    char const* const digits = text_.data() + std::min(pos_ + 3, text_.size());
    auto [end, fault] = std::from_chars(digits, text_.data() + text_.size(), literal.cols);
    pos_ = static_cast<std::size_t>(end - text_.data());
    if (text_.substr(open, 3) != "(0x" || fault != std::errc() || literal.cols < 1 || peek() != ')') {
      pos_ = open;
      fail("a matrix without cells is [] or [](0xCOLUMNS), COLUMNS at least 1");
    }
    ++pos_;
    return make_matrix(allocator_, literal);
  }

  // A cell of a matrix: a number, or a string or matrix nested in it.
  Cell cell_at() {
    skip_space();
    if (peek() == '[' || peek() == '"') return {make_nested_cell(value_at()), 0.0};
    return number_at();
  }

  // What follows a cell: ',', ';' or ']'.
  char separator_at() {
    skip_space();
    char const c = peek();
    if (c != ',' && c != ';' && c != ']')
      fail(pos_ < text_.size() ? "expected ',', ';' or ']'" : "matrix without its closing ]");
    ++pos_;
    return c;
  }

  // The cells go straight into the record's column-major part arrays, which have room for
  // `capacity` rows: the first row tells the columns, and the separators that follow it the rows
  // (exactly, unless strings or nested matrices hold some). The arrays grow when rows are more.
  Anyval* matrix_body() {
    std::size_t const open = pos_++;
    skip_space();
    if (peek() == ']') return empty_matrix();
    std::vector<Cell> first;
    char c = 0;
    do {
      first.push_back(cell_at());
      c = separator_at();
    } while (c == ',');
    std::size_t const cols = first.size();
    std::size_t capacity = c == ']' ? 1 : depth_ == 1 ? (separators_after(pos_) + 1) / cols + 1 : 4;
    PartArray real = new_part_array(capacity * cols), imag;
    auto store = [&](std::size_t i, std::size_t j, Cell const& cell) {
      real.get()[j * capacity + i] = cell.real;
      if (!imag && (cell.imag != 0.0 || std::signbit(cell.imag))) {
        imag = new_part_array(capacity * cols);
        std::fill_n(imag.get(), capacity * cols, 0.0);
      }
      if (imag) imag.get()[j * capacity + i] = cell.imag;
    };
    // The arrays again, with room for `room` rows of which the first `rows` are kept.
    auto move_to = [&](std::size_t room, std::size_t rows) {
      for (PartArray* part : {&real, &imag}) {
        if (!*part) continue;
        PartArray moved = new_part_array(room * cols);
        for (std::size_t j = 0; j < cols; ++j)
          std::copy_n(part->get() + j * capacity, rows, moved.get() + j * room);
        *part = std::move(moved);
      }
      capacity = room;
    };
    for (std::size_t j = 0; j < cols; ++j) store(0, j, first[j]);
    std::size_t rows = 1;
    for (; c == ';'; ++rows) {
      if (rows == capacity) move_to(2 * capacity, rows);
      std::size_t j = 0;
      do {
        Cell const cell = cell_at();
        if (j < cols) store(rows, j, cell);
        ++j;
        c = separator_at();
      } while (c == ',');
      if (j != cols) {
        pos_ = open;
        fail("the rows of the matrix have different lengths");
      }
    }
    if (capacity != rows) move_to(rows, rows);
    auto const size = static_cast<unsigned>(rows * cols * sizeof(double));
    // The arrays are the host's from the call on, whether or not a record comes of it.
    return aMatrix::mk(allocator_, static_cast<int>(rows), static_cast<int>(cols), static_cast<int>(rows),
                       real.release(), imag.release(), size);
  }

  // The cells of a matrix are fewer than the separators that follow its opening bracket.
  std::size_t separators_after(std::size_t from) const {
    std::string_view const rest = text_.substr(from);
    std::size_t count = 0, k = 0;
    // Eight bytes at a time: a byte of a word is zero exactly where the high bit of `zero_bytes`
    // is set, and (bits >> 7) * 0x0101... adds up the ones left in every byte's low bit.
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F, kOnes = 0x0101010101010101;
    auto zero_bytes = [&](std::uint64_t x) { return ~(((x & kLow7) + kLow7) | x | kLow7); };
    for (; k + 8 <= rest.size(); k += 8) {
      std::uint64_t word;
      std::memcpy(&word, rest.data() + k, 8);
      std::uint64_t const found = zero_bytes(word ^ (kOnes * ',')) | zero_bytes(word ^ (kOnes * ';'));
      count += ((found >> 7) * kOnes) >> 56;
    }
    for (; k < rest.size(); ++k) count += rest[k] == ',' || rest[k] == ';';
    return count;
  }

  static constexpr int kMaxNesting = 200;
  static constexpr std::size_t kShownBytes = 60;
  static constexpr std::uint64_t kExponentMask = 0x7FF0000000000000;
  static constexpr std::uint64_t kPayloadMask = 0x000FFFFFFFFFFFFF;
  static constexpr std::uint64_t kQuietNanPayload = 0x0008000000000000;

  IvlAllocator* allocator_;
  std::string_view text_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

Anyval* parse_literal(IvlAllocator* allocator, std::string_view text) { return Parser(allocator, text).whole(); }

}  // namespace vellum::host
