# Flags for every target. Results must match bit for bit across builds and platforms:
# no contraction into fused multiply-add, no fast-math, SSE2 arithmetic on 32-bit x86
# (the default on x86-64). The Windows builds' libraries get the same arithmetic flags.
set(QV_ARITHMETIC_FLAGS -ffp-contract=off)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  list(PREPEND QV_ARITHMETIC_FLAGS -msse2 -mfpmath=sse)
endif()
add_compile_options(-Wall -Wextra ${QV_ARITHMETIC_FLAGS})
if(QV_WERROR)
  add_compile_options(-Werror)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  # The SSE code keeps 16-byte values on the stack, and hosts may call in with a stack
  # aligned to 4 bytes only.
  add_compile_options(-mstackrealign)
endif()

if(QV_SANITIZE)
  add_compile_options(-fsanitize=${QV_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QV_SANITIZE})
endif()
