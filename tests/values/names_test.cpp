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
// Each row: the text, and the stem of the three exported objects' names.
#define ROW(text, stem) NameRow{text, stem##_STRING, stem##_sString, stem##_sUnIdent}
NameRow const kNames[] = {
    ROW("-break", BREAK), ROW("-NOTEQUALS", notequals), ROW("-CROSSPROD", Crossprod), ROW("-EQUALS", Equals),
    ROW("-DEFINE", define), ROW("-plus", plus), ROW("-mult", mult), ROW("-div", div), ROW("-sub", sub),
    ROW("SmartInteg", def_integral_op), ROW("-symbolic_switch", symbolic_switch),
    ROW("-INDEFINTEG", indef_integral_op), ROW("-PLACEHOLDER", placeholder), ROW("-vectorize", vectorize),
    ROW("-SYMBOLIC_EVAL", symbolic_eval), ROW("-SYMBOLIC_EVAL_NO_BIND", symbolic_eval_no_bind),
    ROW("-SYMBOLIC_QUOTE", symbolic_quote), ROW("-UNIT_SYMBOLIC_EVAL", unit_symbolic_eval),
    ROW("-UNIT_SYMBOLIC_EVAL_NO_BIND", unit_symbolic_eval_no_bind), ROW("-NUMERIC_EVAL", numeric_eval),
    ROW("-define_united_constant", define_united_constant), ROW("-RANGE_TO_LOOP", range_to_loop),
    ROW("-RANGE_TO_LOOP_LHS", range_to_loop_LHS), ROW("-sum_op", sum_op), ROW("-prod_op", prod_op),
    ROW("-VDimless", vdimless), ROW("-EqDims", eqdims), ROW("-UnitSwitch", UnitSwitch), ROW("-StripUnit", StripUnit),
    ROW("-EqDimsDimless", EqDimsDimless), ROW("-DimsLikeRound", DimsLikeRound), ROW("-DimsLikeDiv", DimsLikeDiv),
    ROW("-DimsLikeMult", DimsLikeMult), ROW("-COMPILE_LITERAL", compileliteral), ROW("-continue", continue),
    ROW("-EVAL_LITERAL", evalliteral), ROW("-for", for), ROW("if", if), ROW("-ifblock", ifblock),
    ROW("-lambda", lambda), ROW("-let", let), ROW("-localassign", localassign), ROW("-onerror", onerror),
    ROW("-plot", plot), ROW("-range", range), ROW("-return", return), ROW("-sequence", sequence),
    ROW("-SUBSCRIPT", subscript), ROW("-while", while), ROW("-mkMatrix", mkMatrix),
    ROW("-mkMatrixNotNested", mkMatrixNotNested), ROW("..", dotdot), ROW("-STATIC_ENV", static_env),
    ROW("-DYNAMIC_ENV", dynamic_env), ROW("-LTEQ", Lteq), ROW("-lthan", lthan), ROW("-gthan", gthan),
    ROW("-GTEQ", Gteq), ROW("-else", else), ROW("-conjugate", conjugate), ROW("-range_sum", range_sum),
    ROW("-range_product", range_product), ROW("-mkList", mkList), ROW("-mkListAllowAllUnits", mkListAllowAllUnits),
    ROW("-mkListWithUnits", mkListWithUnits), ROW("-evalComponentS", evalComponentS), ROW("-list2vec", list2vec),
    ROW("-EVAL", EVAL), ROW("-GLOBEQ", GLOBEQ), ROW("-NEG", NEG), ROW("-abs", abs), ROW("asin", asin),
    ROW("acsc", acsc), ROW("asec", asec), ROW("acot", acot), ROW("acsch", acsch), ROW("asech", asech),
    ROW("acoth", acoth), ROW("-sqrt", sqrt), ROW("-sigma_sum", sigma_sum), ROW("-NTHROOTOP", nthroot_op),
    ROW("-FACTORIAL", factorial_op), ROW("-POWER", power_op), ROW("mod", mod), ROW("-DERIVATIVE", derivative_op),
    ROW("NthDerivative", nth_derivative), ROW("-not_available", not_available), ROW("acos", acos), ROW("atan", atan),
    ROW("atan2", atan2), ROW("asinh", asinh), ROW("acosh", acosh), ROW("atanh", atanh), ROW("angle", angle),
    ROW("diag", diag), ROW("Dirac", Dirac), ROW("-LIMIT", limit_op), ROW("-LIMITPLUS", limitplus_op),
    ROW("-LIMITMIN", limitmin_op), ROW("-Transpose", Transpose), ROW("TOL", TOL), ROW("CTOL", CTOL), ROW("CWD", CWD),
    ROW("PRNPRECISION", PRNPRECISION), ROW("PRNCOLWIDTH", PRNCOLWIDTH), ROW("ORIGIN", ORIGIN),
    ROW("RealRange", RealRange), ROW("-EvalBoolSequence", EvalBoolSequence),
    ROW("-DimsLikeOptimize", DimsLikeOptimize), ROW("-DimsLikeIsOptimized", DimsLikeIsOptimized),
    ROW("-DimsLikeCompile", DimsLikeCompile), ROW("Evaluate", Evaluate), ROW("-prod_2_args", prod_2_args),
    ROW("-sum_2_args", sum_2_args), ROW("-mkRange", mkRange), ROW("-FACTORIAL", factorial), ROW("-redef", redef),
    ROW("-maple_quote", maple_quote), ROW("conjugate", maple_conjugate), ROW("kronecker", kronecker),
    ROW("-maple_unit", maple_unit),
};
#undef ROW

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
