// Every element-wise overload of the library's tables on records of any shape the host can hand
// over: any leading dimension and tag, absent part arrays, nested cells and any bit pattern in
// the cells, scalars of any tag, a scalar function that may throw. Each call is compared, bit for
// bit, with the reference loop of tests/vectorize/oracle.h.
#include "fuzz/fuzz_input.h"

#include <bit>
#include <limits>

#include "fuzz/fuzz_check.h"
#include "host/library/values.h"
#include "tests/vectorize/oracle.h"
// The fuzz targets link no test sources: the overload list is compiled in here.
#include "tests/vectorize/overload_registry.cpp"

namespace {

double cell_value(vellum::fuzz::Input& in) {
  static double const palette[] = {0.0, -0.0, 1.0, -1.5, 2.0, 1e300, -3.25, 0.0, 0.0, 5e-324,
                                   std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                                   0.75, 0.0, -2.0, 4.0};
  std::uint8_t b = in.ConsumeIntegral<std::uint8_t>();
  if (b == 255) return vellum::make_nested_cell(reinterpret_cast<Anyval*>(in.ConsumeIntegral<std::uint32_t>()));
  if (b == 254) return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
  return palette[b % 16];
}

std::optional<std::vector<double>> part(vellum::fuzz::Input& in, bool present, int count) {
  std::vector<double> cells;
  while (present && count--) cells.push_back(cell_value(in));
  return present ? std::optional(cells) : std::nullopt;
}

ValueTag any_tag(vellum::fuzz::Input& in, ValueTag usual) {
  return in.ConsumeIntegralInRange(0, 15) ? usual : static_cast<ValueTag>(in.ConsumeIntegralInRange(0, 30));
}

vellum::host::HostAllocator& host() {
  static auto* h = new vellum::host::HostAllocator;  // for the whole run: never destroyed
  return *h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  using namespace vellum::test;
  vellum::fuzz::Input in(data, size);
  auto const& overloads = table_overloads();
  Overload const& o = overloads[in.ConsumeIntegralInRange<std::size_t>(0, overloads.size() - 1)];
  g_recorder.reset();
  g_recorder.real_part = in.ConsumeBool();
  g_recorder.imag_part = in.ConsumeBool();
  g_recorder.throw_at = in.ConsumeIntegralInRange(-1, 40);
  int const rows = in.ConsumeIntegralInRange(0, 6), cols = in.ConsumeIntegralInRange(1, 6);
  std::vector<aComplex> scalars(o.operands.size());
  std::vector<Anyval*> operands;
  for (std::size_t k = 0; k < o.operands.size(); ++k) {
    if (is_scalar_type(o.operands[k])) {
      aComplex& z = scalars[k];
      z.tag = any_tag(in, ValueTag::Complex);
      z.real = cell_value(in);
      z.imag = in.ConsumeBool() ? (in.ConsumeBool() ? -0.0 : 0.0) : cell_value(in);
      operands.push_back(&z);
      continue;
    }
    // The second array of a pair mostly has the first one's shape, a vector mostly one column.
    bool same = in.ConsumeIntegralInRange(0, 7) != 0;
    int r = same ? rows : in.ConsumeIntegralInRange(0, 6), c = same ? cols : in.ConsumeIntegralInRange(1, 6);
    if (is_vector_type(o.operands[k]) && in.ConsumeIntegralInRange(0, 3)) c = 1;
    bool has_real = in.ConsumeIntegralInRange(0, 3) != 0, has_imag = in.ConsumeBool();
    vellum::host::MatrixLiteral literal{r, c, part(in, has_real, r * c), part(in, has_imag, r * c),
                                        r + in.ConsumeIntegralInRange(0, 2)};
    aMatrix* m = vellum::host::make_matrix(host().context()->allocator, literal);
    host().keep(m);
    m->tag = any_tag(in, ValueTag::Matrix);
    operands.push_back(m);
  }
  std::string failure = check_call(host(), o, operands.data());
  CHECK(failure.empty(), failure);
  for (std::size_t k = 0; k < operands.size(); ++k)
    if (!is_scalar_type(o.operands[k])) operands[k]->tag = ValueTag::Matrix;
  host().release_all();
  return 0;
}
