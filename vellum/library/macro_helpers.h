// The preprocessor helpers the library's tables are expanded with, in one place:
//   VELLUM_CAT(a, b)            a and b pasted together, after their expansion;
//   VELLUM_COUNT(...)           the number of arguments, 1 to 12;
//   VELLUM_UNPAREN(...)         the arguments without parentheses: VELLUM_UNPAREN (a, b) is a, b;
//   VELLUM_FOR_EACH(F, c, ...)  F(c, x) for each of the 1 to 12 arguments x, c passed along.
//
// No include guard: a header that includes this one ends with macro_helpers_undef.h, so that a
// pack sees none of these; a source that expands a table includes this header again.
#define VELLUM_CAT(a, b) VELLUM_CAT_(a, b)
#define VELLUM_CAT_(a, b) a##b
#define VELLUM_COUNT(...) VELLUM_COUNT_(__VA_ARGS__, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define VELLUM_COUNT_(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, n, ...) n
#define VELLUM_UNPAREN(...) __VA_ARGS__
#define VELLUM_FOR_EACH(F, c, ...) VELLUM_CAT(VELLUM_FOR_EACH_, VELLUM_COUNT(__VA_ARGS__))(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_1(F, c, a) F(c, a)
#define VELLUM_FOR_EACH_2(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_1(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_3(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_2(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_4(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_3(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_5(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_4(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_6(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_5(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_7(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_6(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_8(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_7(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_9(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_8(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_10(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_9(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_11(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_10(F, c, __VA_ARGS__)
#define VELLUM_FOR_EACH_12(F, c, a, ...) F(c, a) VELLUM_FOR_EACH_11(F, c, __VA_ARGS__)
