// The type words of the exported names (NumType, Mat_Num_to_Mat, ...) and the type codes they
// stand for.
#pragma once

#include <cstdint>

#include <vellum/packdesc/type_words_table.h>


namespace vellum::type_code {
#define VELLUM_TYPE_CODE(word, code) inline constexpr std::int32_t word = code;
VELLUM_TYPE_WORDS(VELLUM_TYPE_CODE)
#undef VELLUM_TYPE_CODE
}  // namespace vellum::type_code

#undef VELLUM_TYPE_WORDS
