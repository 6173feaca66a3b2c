// The type words of the exported names (NumType, Mat_Num_to_Mat, ...) and the type codes they
// stand for.
#pragma once

#include <cstdint>

// The words of the exported names and the codes they stand for.
#define VELLUM_TYPE_WORDS(X) \
  X(Any, 1)                  \
  X(Num, 2)                  \
  X(Str, 3)                  \
  X(Mat, 5)                  \
  X(List, 6)                 \
  X(Lam, 8)                  \
  X(Id, 10)                  \
  X(Rng, 16)                 \
  X(Component, 19)           \
  X(APair, 22)               \
  X(Unit, 29)                \
  X(GlobList, 31)

namespace vellum::type_code {
#define VELLUM_TYPE_CODE(word, code) inline constexpr std::int32_t word = code;
VELLUM_TYPE_WORDS(VELLUM_TYPE_CODE)
#undef VELLUM_TYPE_CODE
}  // namespace vellum::type_code
