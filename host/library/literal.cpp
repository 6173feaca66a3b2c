#include "host/library/literal.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
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
    // The message is read as a C string: a NUL byte of the text is shown, not let end it.
    std::string shown;
    for (char c : text_) shown += c == '\0' ? std::string("\\0") : std::string(1, c);
    throw HostError("malformed literal '" + shown + "' at column " + std::to_string(pos_ + 1) + ": " + what);
  }
  void skip_space() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
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
      if (c == '\\') {
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\\')) fail("unknown escape in string");
        c = text_[pos_++];
      }
      out += c;
    }
  }

  // digits [. digits] [e [sign] digits], unsigned; returns false when no digit starts here.
  bool unsigned_number(double& out) {
    std::size_t start = pos_;
    auto digits = [&] {
      std::size_t from = pos_;
      while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
      return pos_ - from;
    };
    std::size_t count = digits();
    if (peek() == '.') {
      ++pos_;
      count += digits();
    }
    if (count == 0) {
      pos_ = start;
      return false;
    }
    if (peek() == 'e' || peek() == 'E') {
      ++pos_;
      if (peek() == '+' || peek() == '-') ++pos_;
      if (digits() == 0) fail("exponent without digits");
    }
    out = std::strtod(std::string(text_.substr(start, pos_ - start)).c_str(), nullptr);
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

  Anyval* matrix_body() {
    std::size_t open = pos_++;
    std::vector<std::vector<Cell>> rows(1);
    skip_space();
    if (peek() == ']') fail("a matrix has at least one cell");
    for (;;) {
      skip_space();
      if (peek() == '[' || peek() == '"') {
        Anyval* inner = value_at();
        rows.back().push_back({make_nested_cell(inner), 0.0});
      } else {
        rows.back().push_back(number_at());
      }
      skip_space();
      char c = peek();
      ++pos_;
      if (c == ',') continue;
      if (c == ';') {
        rows.emplace_back();
        continue;
      }
      if (c == ']') break;
      --pos_;
      fail(pos_ < text_.size() ? "expected ',', ';' or ']'" : "matrix without its closing ]");
    }
    std::size_t cols = rows.front().size();
    for (auto const& row : rows)
      if (row.size() != cols) {
        pos_ = open;
        fail("the rows of the matrix have different lengths");
      }
    MatrixLiteral literal;
    literal.rows = static_cast<int>(rows.size());
    literal.cols = static_cast<int>(cols);
    std::vector<double> real, imag;
    bool complex = false;
    for (std::size_t j = 0; j < cols; ++j)
      for (auto const& row : rows) {
        real.push_back(row[j].real);
        imag.push_back(row[j].imag);
        complex = complex || row[j].imag != 0.0 || std::signbit(row[j].imag);
      }
    literal.real = std::move(real);
    if (complex) literal.imag = std::move(imag);
    return make_matrix(allocator_, literal);
  }

  static constexpr int kMaxNesting = 200;

  IvlAllocator* allocator_;
  std::string_view text_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

Anyval* parse_literal(IvlAllocator* allocator, std::string_view text) { return Parser(allocator, text).whole(); }

}  // namespace vellum::host
