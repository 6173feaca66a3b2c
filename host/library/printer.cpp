#include "host/library/printer.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <vellum/values/complex.h>
#include <vellum/values/error.h>
#include <vellum/values/matrix.h>
#include <vellum/values/matrix_cells.h>
#include <vellum/values/string.h>

namespace vellum::host {

namespace {

// The shortest digits that read back to the same double; infinities and NaNs in the literal's
// words, a NaN with its payload unless it is the quiet one.
void append_double(std::string& out, double x) {
  char buffer[40];
  if (std::isnan(x)) {
    std::uint64_t const payload = std::bit_cast<std::uint64_t>(x) & 0x000FFFFFFFFFFFFF;
    std::snprintf(buffer, sizeof buffer, payload == 0x0008000000000000 ? "%snan" : "%snan(0x%llx)",
                  std::signbit(x) ? "-" : "", static_cast<unsigned long long>(payload));
    out += buffer;
  } else if (std::isinf(x)) {
    out += x < 0 ? "-inf" : "inf";
  } else {
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, x).ptr);
  }
}

void append_number(std::string& out, double real, double imag) {
  if (imag == 0.0 && !std::signbit(imag)) return append_double(out, real);
  if (real != 0.0 || std::signbit(real)) {
    append_double(out, real);
    out += std::signbit(imag) ? " - " : " + ";
  } else if (std::signbit(imag)) {
    out += '-';
  }
  append_double(out, std::fabs(imag));
  out += 'i';
}

void append_value(std::string& out, Anyval const* value);

void append_cell(std::string& out, aMatrix const* m, int i, int j) {
  double real = *elem_ptr(m->real, m->ld, i, j);
  if (is_nested_cell(real)) return append_value(out, nested_value(real));
  append_number(out, real, *elem_ptr(m->imag, m->ld, i, j));
}

// Control bytes as escapes, so that a string prints on one line and reads back.
void append_quoted(std::string& out, aString const* s) {
  out += '"';
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
  out += '"';
}

// A matrix without cells: [] for no rows and one column, else with its shape.
std::string empty_matrix(aMatrix const* m) {
  if (m->rows == 0 && m->cols == 1) return "[]";
  return "[](" + std::to_string(m->rows) + "x" + std::to_string(m->cols) + ")";
}

void append_value(std::string& out, Anyval const* value) {
  if (!value) {
    out += "null";
    return;
  }
  switch (value->tag) {
    case ValueTag::Complex: {
      auto const* z = static_cast<aComplex const*>(value);
      return append_number(out, z->real, z->imag);
    }
    case ValueTag::String:
      return append_quoted(out, static_cast<aString const*>(value));
    case ValueTag::SymbolicExpression:
      out += "symbolic ";
      return append_quoted(out, static_cast<aString const*>(value));
    case ValueTag::Error: {
      auto const* e = static_cast<aError const*>(value);
      std::string text = e->message && e->message->text ? e->message->text : "";
      if (e->position > 0)
        out += "error in argument " + std::to_string(e->position) + ": " + text;
      else
        out += "error: " + text;
      return;
    }
    case ValueTag::Matrix: {
      auto const* m = static_cast<aMatrix const*>(value);
      if (m->rows <= 0 || m->cols <= 0) {
        out += empty_matrix(m);
        return;
      }
      out += '[';
      for (int i = 0; i < m->rows; ++i) {
        if (i) out += "; ";
        for (int j = 0; j < m->cols; ++j) {
          if (j) out += ", ";
          append_cell(out, m, i, j);
        }
      }
      out += ']';
      return;
    }
    default: {
      char const* name = value_tag_name(value->tag);
      out += std::string("<") + (name ? name : "tag " + std::to_string(static_cast<int>(value->tag))) + ">";
    }
  }
}

}  // namespace

std::string format_number(double real, double imag) {
  std::string out;
  append_number(out, real, imag);
  return out;
}

std::string format_value(Anyval const* value) {
  std::string out;
  append_value(out, value);
  return out;
}

std::string format_display(Anyval const* value) {
  if (!value || value->tag != ValueTag::Matrix) return format_value(value);
  auto const* m = static_cast<aMatrix const*>(value);
  if (m->rows <= 0 || m->cols <= 0) return empty_matrix(m);
  std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(m->rows));
  std::vector<std::size_t> width(static_cast<std::size_t>(m->cols), 0);
  for (int i = 0; i < m->rows; ++i)
    for (int j = 0; j < m->cols; ++j) {
      append_cell(cells[i].emplace_back(), m, i, j);
      width[j] = std::max(width[j], cells[i].back().size());
    }
  std::string out = "[";
  for (int i = 0; i < m->rows; ++i) {
    if (i) out += ";\n ";
    for (int j = 0; j < m->cols; ++j) {
      if (j) out += ", ";
      out.append(width[j] - cells[i][j].size(), ' ');
      out += cells[i][j];
    }
  }
  return out + "]";
}

}  // namespace vellum::host
