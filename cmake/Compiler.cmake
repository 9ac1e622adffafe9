# Compiler settings shared by every target of the two builds.

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # 32-bit Windows: SSE2 floating point instead of x87, and no assumption of more than
    # the 4-byte stack alignment Windows guarantees on entry from a host, the system or a
    # thread start. On x64, SSE2 and a 16-byte aligned stack are the platform's own.
    add_compile_options(-msse2 -mfpmath=sse -mincoming-stack-boundary=2)
  endif()
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
  # The C and C++ runtimes and winpthread are linked in, so the binaries import only
  # system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  if(LMX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(LMX_TSAN)
    # ThreadSanitizer cannot share a build with AddressSanitizer: the tsan preset turns
    # LMX_SANITIZE off.
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
  if(LMX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # Coverage instrumentation for all code; only fuzz targets link the fuzzing engine.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

# lmx_strict(target): our own code builds without warnings.
function(lmx_strict target)
  target_compile_options(${target} PRIVATE -Werror)
endfunction()
