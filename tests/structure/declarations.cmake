# cmake -DCOMPILER=<c++> -DROOT=<source tree> -DWORK=<scratch folder> [-DWRITE=ON] -P declarations.cmake
# docs/declarations.md lists, as plain C++, every declaration the library generates from its big
# tables: the element-wise overloads, the type records and the built-in names. This script
# preprocesses vellum.h and compares what it declares with that listing (WRITE=ON: rewrites it).
cmake_minimum_required(VERSION 3.25)
set(listing ${ROOT}/docs/declarations.md)
file(WRITE ${WORK}/declarations.cpp "#include <vellum/vellum.h>\n")
execute_process(COMMAND ${COMPILER} -std=c++20 -E -P -I${ROOT} ${WORK}/declarations.cpp
                OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${COMPILER} cannot preprocess vellum.h")
endif()
string(REGEX REPLACE "[ \t\r\n]+" " " text "${text}")

set(sections
  "The element-wise overloads (vectorize/overload_tables.h)"
  "[A-Za-z]+\\* vl(Nc)?Vectorize\\([^;{}()]*\\)"
  "The type records (packdesc/type_tables.h)"
  "extern (svlType|sTypelist|sFunctionInfo) const[^;{}]*"
  "The built-in names (values/names_table.h)"
  "extern [A-Za-z]+( const)?\\* const [A-Za-z0-9_]+_(STRING|sString|sUnIdent)")
set(generated "# Generated declarations\n\nEvery declaration that the library generates from its big tables, as plain C++ (the export\nattribute left out). The test `Structure.DeclarationListingIsInStep` keeps this file in step\nwith the tables; after changing a table, run `cmake --build --preset linux-x64 --target\nvellum_declarations` to rewrite it.\n")
while(sections)
  list(POP_FRONT sections title pattern)
  string(REGEX MATCHALL "${pattern}" found "${text}")
  list(LENGTH found count)
  string(APPEND generated "\n## ${title}: ${count}\n\n```cpp\n")
  foreach(declaration IN LISTS found)
    string(APPEND generated "${declaration};\n")
  endforeach()
  string(APPEND generated "```\n")
endwhile()

if(WRITE)
  file(WRITE ${listing} "${generated}")
  return()
endif()
file(READ ${listing} kept)
if(NOT kept STREQUAL generated)
  file(WRITE ${WORK}/declarations.md "${generated}")
  message(FATAL_ERROR "docs/declarations.md is out of step with the tables (what they declare now: "
                      "${WORK}/declarations.md); rewrite it with the target vellum_declarations")
endif()
