// Undefines what macro_helpers.h defines; the last include of a header that expanded a table.
// No include guard, as for macro_helpers.h.
#undef VELLUM_CAT
#undef VELLUM_CAT_
#undef VELLUM_COUNT
#undef VELLUM_COUNT_
#undef VELLUM_UNPAREN
#undef VELLUM_FOR_EACH
#undef VELLUM_FOR_EACH_1
#undef VELLUM_FOR_EACH_2
#undef VELLUM_FOR_EACH_3
#undef VELLUM_FOR_EACH_4
#undef VELLUM_FOR_EACH_5
#undef VELLUM_FOR_EACH_6
#undef VELLUM_FOR_EACH_7
#undef VELLUM_FOR_EACH_8
#undef VELLUM_FOR_EACH_9
#undef VELLUM_FOR_EACH_10
#undef VELLUM_FOR_EACH_11
#undef VELLUM_FOR_EACH_12
