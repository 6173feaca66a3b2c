#include "host/library/literal.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

  // digits [. digits] [e [sign] digits], unsigned, or a special number; returns false when
  // neither starts here.
  bool unsigned_number(double& out) {
    if (special_number(out)) return true;
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

  // [] or [](0xCOLS): a matrix without rows, of one column or of the columns given (a record has
  // at least one column).
  Anyval* empty_matrix() {
    ++pos_;
    MatrixLiteral literal{0, 1, std::nullopt, std::nullopt, 0};
    if (peek() == '(') {
      std::size_t const open = pos_;
      int rows = -1;
      if (text_.substr(pos_, 3) == "(0x") {
        pos_ += 3;
        rows = 0;
        auto [end, fault] = std::from_chars(text_.data() + pos_, text_.data() + text_.size(), literal.cols);
        pos_ = static_cast<std::size_t>(end - text_.data());
        if (fault != std::errc() || literal.cols < 1 || peek() != ')') rows = -1;
      }
      if (rows != 0) {
        pos_ = open;
        fail("a matrix without cells is [] or [](0xCOLUMNS), COLUMNS at least 1");
      }
      ++pos_;
    }
    return make_matrix(allocator_, literal);
  }

  Anyval* matrix_body() {
    std::size_t open = pos_++;
    std::vector<std::vector<Cell>> rows(1);
    skip_space();
    if (peek() == ']') return empty_matrix();
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
