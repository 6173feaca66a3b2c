// The built-in names and the value constants: every exported object referenced by name.
#include <cstring>
#include <set>

#include "tests/support/test_support.h"

namespace {

using vellum::test::bits;

struct NameRow {
  char const* text;
  char const* const& text_object;
  aString* const& string_record;
  aIdentifier* const& identifier;
};
NameRow const kNames[] = {
    {"-break", BREAK_STRING, BREAK_sString, BREAK_sUnIdent},
    {"-NOTEQUALS", notequals_STRING, notequals_sString, notequals_sUnIdent},
    {"-CROSSPROD", Crossprod_STRING, Crossprod_sString, Crossprod_sUnIdent},
    {"-EQUALS", Equals_STRING, Equals_sString, Equals_sUnIdent},
    {"-DEFINE", define_STRING, define_sString, define_sUnIdent},
    {"-plus", plus_STRING, plus_sString, plus_sUnIdent},
    {"-mult", mult_STRING, mult_sString, mult_sUnIdent},
    {"-div", div_STRING, div_sString, div_sUnIdent},
    {"-sub", sub_STRING, sub_sString, sub_sUnIdent},
    {"SmartInteg", def_integral_op_STRING, def_integral_op_sString, def_integral_op_sUnIdent},
    {"-symbolic_switch", symbolic_switch_STRING, symbolic_switch_sString, symbolic_switch_sUnIdent},
    {"-INDEFINTEG", indef_integral_op_STRING, indef_integral_op_sString, indef_integral_op_sUnIdent},
    {"-PLACEHOLDER", placeholder_STRING, placeholder_sString, placeholder_sUnIdent},
    {"-vectorize", vectorize_STRING, vectorize_sString, vectorize_sUnIdent},
    {"-SYMBOLIC_EVAL", symbolic_eval_STRING, symbolic_eval_sString, symbolic_eval_sUnIdent},
    {"-SYMBOLIC_EVAL_NO_BIND", symbolic_eval_no_bind_STRING, symbolic_eval_no_bind_sString, symbolic_eval_no_bind_sUnIdent},
    {"-SYMBOLIC_QUOTE", symbolic_quote_STRING, symbolic_quote_sString, symbolic_quote_sUnIdent},
    {"-UNIT_SYMBOLIC_EVAL", unit_symbolic_eval_STRING, unit_symbolic_eval_sString, unit_symbolic_eval_sUnIdent},
    {"-UNIT_SYMBOLIC_EVAL_NO_BIND", unit_symbolic_eval_no_bind_STRING, unit_symbolic_eval_no_bind_sString, unit_symbolic_eval_no_bind_sUnIdent},
    {"-NUMERIC_EVAL", numeric_eval_STRING, numeric_eval_sString, numeric_eval_sUnIdent},
    {"-define_united_constant", define_united_constant_STRING, define_united_constant_sString, define_united_constant_sUnIdent},
    {"-RANGE_TO_LOOP", range_to_loop_STRING, range_to_loop_sString, range_to_loop_sUnIdent},
    {"-RANGE_TO_LOOP_LHS", range_to_loop_LHS_STRING, range_to_loop_LHS_sString, range_to_loop_LHS_sUnIdent},
    {"-sum_op", sum_op_STRING, sum_op_sString, sum_op_sUnIdent},
    {"-prod_op", prod_op_STRING, prod_op_sString, prod_op_sUnIdent},
    {"-VDimless", vdimless_STRING, vdimless_sString, vdimless_sUnIdent},
    {"-EqDims", eqdims_STRING, eqdims_sString, eqdims_sUnIdent},
    {"-UnitSwitch", UnitSwitch_STRING, UnitSwitch_sString, UnitSwitch_sUnIdent},
    {"-StripUnit", StripUnit_STRING, StripUnit_sString, StripUnit_sUnIdent},
    {"-EqDimsDimless", EqDimsDimless_STRING, EqDimsDimless_sString, EqDimsDimless_sUnIdent},
    {"-DimsLikeRound", DimsLikeRound_STRING, DimsLikeRound_sString, DimsLikeRound_sUnIdent},
    {"-DimsLikeDiv", DimsLikeDiv_STRING, DimsLikeDiv_sString, DimsLikeDiv_sUnIdent},
    {"-DimsLikeMult", DimsLikeMult_STRING, DimsLikeMult_sString, DimsLikeMult_sUnIdent},
    {"-COMPILE_LITERAL", compileliteral_STRING, compileliteral_sString, compileliteral_sUnIdent},
    {"-continue", continue_STRING, continue_sString, continue_sUnIdent},
    {"-EVAL_LITERAL", evalliteral_STRING, evalliteral_sString, evalliteral_sUnIdent},
    {"-for", for_STRING, for_sString, for_sUnIdent},
    {"if", if_STRING, if_sString, if_sUnIdent},
    {"-ifblock", ifblock_STRING, ifblock_sString, ifblock_sUnIdent},
    {"-lambda", lambda_STRING, lambda_sString, lambda_sUnIdent},
    {"-let", let_STRING, let_sString, let_sUnIdent},
    {"-localassign", localassign_STRING, localassign_sString, localassign_sUnIdent},
    {"-onerror", onerror_STRING, onerror_sString, onerror_sUnIdent},
    {"-plot", plot_STRING, plot_sString, plot_sUnIdent},
    {"-range", range_STRING, range_sString, range_sUnIdent},
    {"-return", return_STRING, return_sString, return_sUnIdent},
    {"-sequence", sequence_STRING, sequence_sString, sequence_sUnIdent},
    {"-SUBSCRIPT", subscript_STRING, subscript_sString, subscript_sUnIdent},
    {"-while", while_STRING, while_sString, while_sUnIdent},
    {"-mkMatrix", mkMatrix_STRING, mkMatrix_sString, mkMatrix_sUnIdent},
    {"-mkMatrixNotNested", mkMatrixNotNested_STRING, mkMatrixNotNested_sString, mkMatrixNotNested_sUnIdent},
    {"..", dotdot_STRING, dotdot_sString, dotdot_sUnIdent},
    {"-STATIC_ENV", static_env_STRING, static_env_sString, static_env_sUnIdent},
    {"-DYNAMIC_ENV", dynamic_env_STRING, dynamic_env_sString, dynamic_env_sUnIdent},
    {"-LTEQ", Lteq_STRING, Lteq_sString, Lteq_sUnIdent},
    {"-lthan", lthan_STRING, lthan_sString, lthan_sUnIdent},
    {"-gthan", gthan_STRING, gthan_sString, gthan_sUnIdent},
    {"-GTEQ", Gteq_STRING, Gteq_sString, Gteq_sUnIdent},
    {"-else", else_STRING, else_sString, else_sUnIdent},
    {"-conjugate", conjugate_STRING, conjugate_sString, conjugate_sUnIdent},
    {"-range_sum", range_sum_STRING, range_sum_sString, range_sum_sUnIdent},
    {"-range_product", range_product_STRING, range_product_sString, range_product_sUnIdent},
    {"-mkList", mkList_STRING, mkList_sString, mkList_sUnIdent},
    {"-mkListAllowAllUnits", mkListAllowAllUnits_STRING, mkListAllowAllUnits_sString, mkListAllowAllUnits_sUnIdent},
    {"-mkListWithUnits", mkListWithUnits_STRING, mkListWithUnits_sString, mkListWithUnits_sUnIdent},
    {"-evalComponentS", evalComponentS_STRING, evalComponentS_sString, evalComponentS_sUnIdent},
    {"-list2vec", list2vec_STRING, list2vec_sString, list2vec_sUnIdent},
    {"-EVAL", EVAL_STRING, EVAL_sString, EVAL_sUnIdent},
    {"-GLOBEQ", GLOBEQ_STRING, GLOBEQ_sString, GLOBEQ_sUnIdent},
    {"-NEG", NEG_STRING, NEG_sString, NEG_sUnIdent},
    {"-abs", abs_STRING, abs_sString, abs_sUnIdent},
    {"asin", asin_STRING, asin_sString, asin_sUnIdent},
    {"acsc", acsc_STRING, acsc_sString, acsc_sUnIdent},
    {"asec", asec_STRING, asec_sString, asec_sUnIdent},
    {"acot", acot_STRING, acot_sString, acot_sUnIdent},
    {"acsch", acsch_STRING, acsch_sString, acsch_sUnIdent},
    {"asech", asech_STRING, asech_sString, asech_sUnIdent},
    {"acoth", acoth_STRING, acoth_sString, acoth_sUnIdent},
    {"-sqrt", sqrt_STRING, sqrt_sString, sqrt_sUnIdent},
    {"-sigma_sum", sigma_sum_STRING, sigma_sum_sString, sigma_sum_sUnIdent},
    {"-NTHROOTOP", nthroot_op_STRING, nthroot_op_sString, nthroot_op_sUnIdent},
    {"-FACTORIAL", factorial_op_STRING, factorial_op_sString, factorial_op_sUnIdent},
    {"-POWER", power_op_STRING, power_op_sString, power_op_sUnIdent},
    {"mod", mod_STRING, mod_sString, mod_sUnIdent},
    {"-DERIVATIVE", derivative_op_STRING, derivative_op_sString, derivative_op_sUnIdent},
    {"NthDerivative", nth_derivative_STRING, nth_derivative_sString, nth_derivative_sUnIdent},
    {"-not_available", not_available_STRING, not_available_sString, not_available_sUnIdent},
    {"acos", acos_STRING, acos_sString, acos_sUnIdent},
    {"atan", atan_STRING, atan_sString, atan_sUnIdent},
    {"atan2", atan2_STRING, atan2_sString, atan2_sUnIdent},
    {"asinh", asinh_STRING, asinh_sString, asinh_sUnIdent},
    {"acosh", acosh_STRING, acosh_sString, acosh_sUnIdent},
    {"atanh", atanh_STRING, atanh_sString, atanh_sUnIdent},
    {"angle", angle_STRING, angle_sString, angle_sUnIdent},
    {"diag", diag_STRING, diag_sString, diag_sUnIdent},
    {"Dirac", Dirac_STRING, Dirac_sString, Dirac_sUnIdent},
    {"-LIMIT", limit_op_STRING, limit_op_sString, limit_op_sUnIdent},
    {"-LIMITPLUS", limitplus_op_STRING, limitplus_op_sString, limitplus_op_sUnIdent},
    {"-LIMITMIN", limitmin_op_STRING, limitmin_op_sString, limitmin_op_sUnIdent},
    {"-Transpose", Transpose_STRING, Transpose_sString, Transpose_sUnIdent},
    {"TOL", TOL_STRING, TOL_sString, TOL_sUnIdent},
    {"CTOL", CTOL_STRING, CTOL_sString, CTOL_sUnIdent},
    {"CWD", CWD_STRING, CWD_sString, CWD_sUnIdent},
    {"PRNPRECISION", PRNPRECISION_STRING, PRNPRECISION_sString, PRNPRECISION_sUnIdent},
    {"PRNCOLWIDTH", PRNCOLWIDTH_STRING, PRNCOLWIDTH_sString, PRNCOLWIDTH_sUnIdent},
    {"ORIGIN", ORIGIN_STRING, ORIGIN_sString, ORIGIN_sUnIdent},
    {"RealRange", RealRange_STRING, RealRange_sString, RealRange_sUnIdent},
    {"-EvalBoolSequence", EvalBoolSequence_STRING, EvalBoolSequence_sString, EvalBoolSequence_sUnIdent},
    {"-DimsLikeOptimize", DimsLikeOptimize_STRING, DimsLikeOptimize_sString, DimsLikeOptimize_sUnIdent},
    {"-DimsLikeIsOptimized", DimsLikeIsOptimized_STRING, DimsLikeIsOptimized_sString, DimsLikeIsOptimized_sUnIdent},
    {"-DimsLikeCompile", DimsLikeCompile_STRING, DimsLikeCompile_sString, DimsLikeCompile_sUnIdent},
    {"Evaluate", Evaluate_STRING, Evaluate_sString, Evaluate_sUnIdent},
    {"-prod_2_args", prod_2_args_STRING, prod_2_args_sString, prod_2_args_sUnIdent},
    {"-sum_2_args", sum_2_args_STRING, sum_2_args_sString, sum_2_args_sUnIdent},
    {"-mkRange", mkRange_STRING, mkRange_sString, mkRange_sUnIdent},
    {"-FACTORIAL", factorial_STRING, factorial_sString, factorial_sUnIdent},
    {"-redef", redef_STRING, redef_sString, redef_sUnIdent},
    {"-maple_quote", maple_quote_STRING, maple_quote_sString, maple_quote_sUnIdent},
    {"conjugate", maple_conjugate_STRING, maple_conjugate_sString, maple_conjugate_sUnIdent},
    {"kronecker", kronecker_STRING, kronecker_sString, kronecker_sUnIdent},
    {"-maple_unit", maple_unit_STRING, maple_unit_sString, maple_unit_sUnIdent},
};

TEST(BuiltinNames, EveryRowIsItsTextAStringOfItAndAnUnboundIdentifierNamingThatString) {
  std::set<void const*> records;
  for (NameRow const& row : kNames) {
    SCOPED_TRACE(row.text);
    EXPECT_STREQ(row.text_object, row.text);
    aString const* s = row.string_record;
    EXPECT_EQ(s->tag, ValueTag::String);
    EXPECT_EQ(s->text, row.text_object) << "the string record holds the exported text itself";
    EXPECT_EQ(s->size, std::strlen(row.text) + 1);
    aIdentifier const* id = row.identifier;
    EXPECT_EQ(id->tag, ValueTag::Identifier);
    EXPECT_EQ(id->integer, 0);
    EXPECT_EQ(id->name, s) << "the very record of the row, not a copy";
    EXPECT_EQ(id->binding, aIdentifier::kUnbound);
    EXPECT_EQ(id->global_list, nullptr);
    EXPECT_EQ(id->defn, nullptr);
    EXPECT_EQ(id->second_defn, nullptr);
    records.insert(s);
    records.insert(id);
  }
  EXPECT_EQ(std::size(kNames), 121u);
  EXPECT_EQ(records.size(), 2 * 121u) << "every row has records of its own";
  EXPECT_STREQ(factorial_op_STRING, factorial_STRING) << "two rows share a text";
  EXPECT_NE(factorial_op_sString, factorial_sString);
}

TEST(ValueConstants, AreTheNumbersZeroToThreeAndTheDimensionlessUnit) {
  aComplex const* numbers[] = {sComplexZero, sComplexOne, sComplexTwo, sComplexThree};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(numbers[k]->tag, ValueTag::Complex);
    EXPECT_EQ(numbers[k]->reserved, 0);
    EXPECT_EQ(bits(numbers[k]->real), bits(static_cast<double>(k)));
    EXPECT_EQ(bits(numbers[k]->imag), 0u);
  }
  EXPECT_EQ(sUnitZero->tag, ValueTag::Unit);
  EXPECT_EQ(sUnitZero->expression, nullptr);
  unsigned char zeros[sizeof(UnitPowers)] = {};
  EXPECT_EQ(std::memcmp(&sUnitZero->powers, zeros, sizeof zeros), 0);
}

}  // namespace
