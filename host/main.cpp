// vellum-host: the reference host on the command line.
//
//   vellum-host demo    builds values through the host allocator and prints them
#include <cstdio>
#include <cstring>
#include <string>

#include <vellum/vellum.h>

#include "host/host_allocator.h"
#include "host/printer.h"
#include "host/values.h"

namespace {

int run_demo() {
  using namespace vellum::host;
  HostAllocator host;
  EfiCallContext* context = host.context();
  IvlAllocator* allocator = context->allocator;

  auto show = [&](char const* what, Anyval* value) {
    std::printf("%-44s %s\n", what, format_value(value).c_str());
    host.keep(value);
  };

  show("aString::mk(\"hello, host\")", aString::mk(allocator, "hello, host"));
  aComplex z{{ValueTag::Complex}, 0, 5.0, 0.0};
  show("aMatrix::mk(1, 2, 5)", aMatrix::mk(allocator, 1, 2, &z));
  aComplex w{{ValueTag::Complex}, 0, 0.0, 2.0};
  show("aMatrix::mk(1, 0, 2i)", aMatrix::mk(allocator, 1, 0, &w));

  aMatrix* numbers = make_matrix(allocator, {2, 2, std::vector<double>{1, 3, 2, 4}, std::vector<double>{0, -1, 0.5, 0}, 0});
  show("2 x 2 complex matrix", numbers);
  aMatrix* inner = make_matrix(allocator, {2, 1, std::vector<double>{7, 8}, std::nullopt, 0});
  aString* label = aString::mk(allocator, "label");
  aMatrix* nested = make_matrix(
      allocator, {2, 2, std::vector<double>{1, vellum::make_nested_cell(label), vellum::make_nested_cell(inner), 4},
                  std::nullopt, 0});
  host.keep(inner);
  host.keep(label);
  show("matrix with nested cells", nested);
  show("aMatrix::deep_cp(nested, compact)", aMatrix::deep_cp(allocator, nested, true));

  show("mkError(context, \"2.must be string\", 0)", mkError(context, "2.must be string", 0));
  show("mkError(context, \"2.must be string\", 5)", mkError(context, "2.must be string", 5));
  show("sError_OutOfMemory", sError_OutOfMemory);

  std::printf("\nallocator calls:");
  for (int position = 0; position < kAllocatorSlots; ++position)
    if (host.calls(position)) std::printf(" %s x%zu", HostAllocator::operation_name(position).c_str(), host.calls(position));
  std::string leaks = host.leak_report();
  std::printf("\nleaks: %s\n", leaks.empty() ? "none" : leaks.c_str());
  return leaks.empty() ? 0 : 1;
}

void usage(std::FILE* out) { std::fprintf(out, "usage: vellum-host demo\n"); }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "demo") == 0) return run_demo();
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    usage(stdout);
    return 0;
  }
  usage(stderr);
  return 2;
}
