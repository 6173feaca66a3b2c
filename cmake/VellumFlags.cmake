# Flags shared by every target of every configuration. The prescribed branch structures of the
# numeric operations decide the last bits of their results, so contraction into fused
# multiply-adds and value-changing optimisations stay off everywhere.
add_compile_options(-ffp-contract=off -fno-fast-math -Wall -Wextra)

if(WIN32)
  add_compile_options(-msse2 -mfpmath=sse)
  # Self-contained programs and DLL: no runtime DLLs (libstdc++, libgcc, winpthread) beside them.
  add_link_options(-static)
endif()

option(VELLUM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VELLUM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
