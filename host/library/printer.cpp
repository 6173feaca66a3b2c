#include "host/library/printer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <vellum/values/complex.h>
#include <vellum/values/error.h>
#include <vellum/values/matrix.h>
#include <vellum/values/matrix_cells.h>
#include <vellum/values/string.h>

namespace vellum::host {

namespace {
// 15 digits where they read back to the same double, else 17, so that printed values parse back
// exactly; infinities and NaNs in the literal's words, a NaN with its payload unless it is the
// quiet one.
std::string format_double(double x) {
  if (std::isinf(x)) return x < 0 ? "-inf" : "inf";
  if (std::isnan(x)) {
    std::uint64_t const payload = std::bit_cast<std::uint64_t>(x) & 0x000FFFFFFFFFFFFF;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, payload == 0x0008000000000000 ? "%snan" : "%snan(0x%llx)",
                  std::signbit(x) ? "-" : "", static_cast<unsigned long long>(payload));
    return buffer;
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", x);
  if (std::strtod(buffer, nullptr) != x) std::snprintf(buffer, sizeof buffer, "%.17g", x);
  return buffer;
}

std::string format_cell(aMatrix const* m, int i, int j) {
  double real = *elem_ptr(m->real, m->ld, i, j);
  if (is_nested_cell(real)) return format_value(nested_value(real));
  return format_number(real, *elem_ptr(m->imag, m->ld, i, j));
}

// Control bytes as escapes, so that a string prints on one line and reads back.
std::string quoted(aString const* s) {
  std::string out = "\"";
  for (char const* c = s->text ? s->text : ""; *c; ++c) {
    auto const byte = static_cast<unsigned char>(*c);
    if (*c == '"' || *c == '\\') {
      out += '\\';
      out += *c;
    } else if (*c == '\t' || *c == '\n' || *c == '\r') {
      out += *c == '\t' ? "\\t" : *c == '\n' ? "\\n" : "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      out += escape;
    } else {
      out += *c;
    }
  }
  return out + "\"";
}

// A matrix without cells: [] for no rows and one column, else with its shape.
std::string empty_matrix(aMatrix const* m) {
  if (m->rows == 0 && m->cols == 1) return "[]";
  return "[](" + std::to_string(m->rows) + "x" + std::to_string(m->cols) + ")";
}
}  // namespace

std::string format_number(double real, double imag) {
  if (imag == 0.0 && !std::signbit(imag)) return format_double(real);
  std::string imag_text = format_double(std::fabs(imag)) + "i";
  if (real == 0.0 && !std::signbit(real)) return (std::signbit(imag) ? "-" : "") + imag_text;
  return format_double(real) + (std::signbit(imag) ? " - " : " + ") + imag_text;
}

std::string format_value(Anyval const* value) {
  if (!value) return "null";
  switch (value->tag) {
    case ValueTag::Complex: {
      auto const* z = static_cast<aComplex const*>(value);
      return format_number(z->real, z->imag);
    }
    case ValueTag::String:
      return quoted(static_cast<aString const*>(value));
    case ValueTag::SymbolicExpression:
      return "symbolic " + quoted(static_cast<aString const*>(value));
    case ValueTag::Error: {
      auto const* e = static_cast<aError const*>(value);
      std::string text = e->message && e->message->text ? e->message->text : "";
      if (e->position > 0) return "error in argument " + std::to_string(e->position) + ": " + text;
      return "error: " + text;
    }
    case ValueTag::Matrix: {
      auto const* m = static_cast<aMatrix const*>(value);
      if (m->rows <= 0 || m->cols <= 0) return empty_matrix(m);
      std::string out = "[";
      for (int i = 0; i < m->rows; ++i) {
        if (i) out += "; ";
        for (int j = 0; j < m->cols; ++j) {
          if (j) out += ", ";
          out += format_cell(m, i, j);
        }
      }
      return out + "]";
    }
    default: {
      char const* name = value_tag_name(value->tag);
      return std::string("<") + (name ? name : "tag " + std::to_string(static_cast<int>(value->tag))) + ">";
    }
  }
}

std::string format_display(Anyval const* value) {
  if (!value || value->tag != ValueTag::Matrix) return format_value(value);
  auto const* m = static_cast<aMatrix const*>(value);
  if (m->rows <= 0 || m->cols <= 0) return empty_matrix(m);
  std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(m->rows));
  std::vector<std::size_t> width(static_cast<std::size_t>(m->cols), 0);
  for (int i = 0; i < m->rows; ++i)
    for (int j = 0; j < m->cols; ++j) {
      cells[i].push_back(format_cell(m, i, j));
      width[j] = std::max(width[j], cells[i].back().size());
    }
  std::string out = "[";
  for (int i = 0; i < m->rows; ++i) {
    if (i) out += ";\n ";
    for (int j = 0; j < m->cols; ++j) {
      if (j) out += ", ";
      out += std::string(width[j] - cells[i][j].size(), ' ') + cells[i][j];
    }
  }
  return out + "]";
}

}  // namespace vellum::host
