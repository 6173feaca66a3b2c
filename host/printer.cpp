#include "host/printer.h"

#include <cmath>
#include <cstdio>

#include <vellum/values/complex.h>
#include <vellum/values/error.h>
#include <vellum/values/matrix.h>
#include <vellum/values/matrix_cells.h>
#include <vellum/values/string.h>

namespace vellum::host {

namespace {
std::string format_double(double x) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", x);
  return buffer;
}

std::string quoted(aString const* s) { return "\"" + std::string(s->text ? s->text : "") + "\""; }
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
      std::string out = "[";
      for (int i = 0; i < m->rows; ++i) {
        if (i) out += "; ";
        for (int j = 0; j < m->cols; ++j) {
          if (j) out += ", ";
          double real = *elem_ptr(m->real, m->ld, i, j);
          if (is_nested_cell(real)) {
            out += format_value(nested_value(real));
            continue;
          }
          out += format_number(real, *elem_ptr(m->imag, m->ld, i, j));
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

}  // namespace vellum::host
