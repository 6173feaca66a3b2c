// The library's error texts, one row each (name, text). A leading "N." names the argument at
// fault, counted from 1; mkError with a call context turns it into the error's position.
#pragma once

#include <vellum/values/error_texts_table.h>


namespace vellum::error_text {
#define VELLUM_DEFINE_ERROR_TEXT(name, text) inline constexpr char name[] = text;
VELLUM_ERROR_TEXTS(VELLUM_DEFINE_ERROR_TEXT)
#undef VELLUM_DEFINE_ERROR_TEXT

// Element-level faults leave the library as a thrown char* that points at the static text.
[[noreturn]] inline void raise(char const* text) { throw const_cast<char*>(text); }

// The "may not be nested" text of the operand at `position` (1, 2 or 4).
constexpr char const* not_nested(int position) noexcept {
  switch (position) {
    case 1: return not_nested_1;
    case 2: return not_nested_2;
    default: return not_nested_4;
  }
}
}  // namespace vellum::error_text

#undef VELLUM_ERROR_TEXTS
