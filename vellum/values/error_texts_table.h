// The library's error texts, one row per text: X(name, text).
//
// No include guard: a table is undefined after use and included again where code is generated
// from it ("Big tables as data" in docs/architecture.md).

#define VELLUM_ERROR_TEXTS(X)                      \
  X(out_of_memory, "out of memory")                \
  X(invalid, "invalid")                            \
  X(interrupted, "interrupted")                    \
  X(array_size_mismatch, "array size mismatch")    \
  X(invalid_dimension, "invalid dimension")        \
  X(must_be_square, "must be square")              \
  X(index_out_of_bounds, "index out of bounds")    \
  X(unknown_error, "Unknown error")                \
  X(file_extension_error, "file extension error")  \
  X(not_nested_1, "1.may not be nested")           \
  X(not_nested_2, "2.may not be nested")           \
  X(not_nested_4, "4.may not be nested")           \
  X(must_be_string_1, "1.must be string")          \
  X(must_be_string_2, "2.must be string")          \
  X(illegal_context, "illegal context")
