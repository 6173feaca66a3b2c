// The type words of the exported names and the codes they stand for: X(word, code).
//
// No include guard: a table is undefined after use and included again where code is generated
// from it ("Big tables as data" in docs/architecture.md).

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
