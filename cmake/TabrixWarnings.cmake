# Shared compile settings for every Tabrix target: strict warnings, GBK string
# literals, and the sanitizers or fuzzing instrumentation when asked for.
#
#   tabrix_target_settings(target)   call it on every target you add.

# GBK literals: GCC (native and mingw) converts with iconv. clang accepts only
# UTF-8 as execution character set, so its builds (the fuzzers) keep UTF-8
# literals; code whose behaviour depends on the bytes of a Chinese literal
# should spell them as escapes. MSVC takes the code page name.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(TABRIX_CHARSET_OPTIONS -finput-charset=UTF-8 -fexec-charset=GBK)
elseif(MSVC)
  set(TABRIX_CHARSET_OPTIONS /source-charset:utf-8 /execution-charset:.936)
else()
  set(TABRIX_CHARSET_OPTIONS -finput-charset=UTF-8)
endif()

if(MSVC)
  set(TABRIX_WARNING_OPTIONS /W3 /wd4996)
else()
  set(TABRIX_WARNING_OPTIONS -Wall -Wextra -Werror)
endif()

function(tabrix_target_settings target)
  # CXX only: these options must not reach windres (.rc) or C sources.
  target_compile_options(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:CXX>:${TABRIX_WARNING_OPTIONS};${TABRIX_CHARSET_OPTIONS}>")
  if(TABRIX_SANITIZE)
    target_compile_options(${target} PRIVATE
      "$<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=address,undefined;-fno-sanitize-recover=all;-fno-omit-frame-pointer>")
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(TABRIX_FUZZ)
    # Coverage for libFuzzer in every library; the harness links the fuzzer
    # main itself (tabrix_add_fuzzer). Line tables are all a crash report
    # needs to name files and lines, at a fraction of full debug information.
    target_compile_options(${target} PRIVATE
      "$<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=fuzzer-no-link,address,undefined;-fno-sanitize-recover=all;-fno-omit-frame-pointer;-gline-tables-only>")
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
