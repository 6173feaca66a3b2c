// Every element-wise overload of the library's tables, on records of every kind and shape and with
// pure and impure scalars, checked call by call against the reference loop of oracle.h.
#include "tests/support/test_support.h"
#include "tests/vectorize/operands.h"
#include "tests/vectorize/oracle.h"

namespace vellum::test {
namespace {

// Made before the first test, so that no test pays for it in its operator new balance.
[[maybe_unused]] std::vector<Overload> const& kOverloads = table_overloads();

class Overloads : public HostTest {
 protected:
  void check(Overload const& o, Operands const& ops) { EXPECT_EQ(check_call(host, o, ops.data()), ""); }
};

TEST_F(Overloads, AgreeWithTheReferenceOnEveryKindOfOperand) {
  for (Overload const& o : table_overloads()) {
    std::vector<std::size_t> arrays;
    for (std::size_t k = 0; k < o.operands.size(); ++k)
      if (!is_scalar_type(o.operands[k])) arrays.push_back(k);
    // Each array operand as a record with a real array, an imaginary one, both or neither.
    for (int kinds = 0; kinds < (arrays.size() == 2 ? 16 : 4); ++kinds)
      for (int scalars = 0; scalars < (o.operands.size() > arrays.size() ? 3 : 1); ++scalars)
        for (Shape shape : {Shape{}, Shape{1, 9, true}, Shape{0, 2, false}}) {
          std::vector<char> kind = typed_kinds(o.operands);
          for (std::size_t a = 0; a < arrays.size(); ++a) kind[arrays[a]] = "RICN"[kinds >> (2 * a) & 3];
          // Scalars as typed, or pure real (a zero imaginary part, the first one -0.0), or the
          // first with a tag other than 2.
          std::vector<aComplex> values = typed_scalars(o.operands);
          for (std::size_t k = 0, first = 1; k < values.size() && scalars > 0; ++k)
            if (o.operands[k] == "aComplex") {
              values[k].imag = first ? -0.0 : 0.0;
              values[k].tag = first && scalars == 2 ? ValueTag::String : ValueTag::Complex;
              first = 0;
            }
          Operands ops(host, o.operands, kind, values, shape);
          SCOPED_TRACE(testing::Message() << std::string(kind.begin(), kind.end()) << " scalars " << scalars
                                          << " rows " << shape.rows);
          // Answers with and without zero parts, then a scalar function that throws at its 2nd call.
          for (int run = 0; run < 5; ++run) {
            g_recorder.reset();
            g_recorder.real_part = run & 1;
            g_recorder.imag_part = run & 2;
            g_recorder.throw_at = run == 4 ? 1 : -1;
            check(o, ops);
          }
          g_recorder.reset();
          for (std::size_t k : arrays) {
            aMatrix* m = ops.array(k);
            // A nested cell in each part array at element 0 and 1.
            for (double* part : {m->real, m->imag})
              for (int at = 0; part && at < std::min(2, m->rows); ++at) {
                double saved = part[at];
                part[at] = make_nested_cell(m);
                check(o, ops);
                part[at] = saved;
              }
            // The second array of another number of rows or columns.
            if (k == arrays.back() && arrays.size() == 2)
              for (auto [rows, cols] : {std::pair{1, 0}, {-1, 0}, {0, -1}}) {
                m->rows += rows;
                m->cols += cols;
                check(o, ops);
                m->rows -= rows;
                m->cols -= cols;
              }
          }
          host.release_all();
        }
  }
}

}  // namespace
}  // namespace vellum::test
