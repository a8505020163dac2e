# libFuzzer harnesses (fuzz preset, clang-14).
#
#   tabrix_add_fuzzer(name sources... LIBS libs... [CORPUS dir])
#
# builds one harness and registers it, with its seed corpus folder, in
# <build>/fuzz-targets.txt; tools/test-all.sh runs every registered harness for
# a short while. CORPUS may be a folder of the source tree or one that a build
# step fills (a seed generator run as a POST_BUILD command, for example).

function(tabrix_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS" "LIBS" ${ARGN})
  add_executable(${name} ${F_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  tabrix_target_settings(${name})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  if(NOT F_CORPUS)
    set(F_CORPUS "-")
  endif()
  set_property(GLOBAL APPEND PROPERTY TABRIX_FUZZERS "${name}|${F_CORPUS}")
endfunction()

# Writes the list of harnesses: one line "name<TAB>executable<TAB>corpus".
# Called once, at the end of the top-level CMakeLists.txt.
function(tabrix_write_fuzzer_list)
  get_property(fuzzers GLOBAL PROPERTY TABRIX_FUZZERS)
  set(content "")
  foreach(entry IN LISTS fuzzers)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 corpus)
    if(corpus STREQUAL "-")
      set(corpus "")
    endif()
    string(APPEND content "${name}\t$<TARGET_FILE:${name}>\t${corpus}\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz-targets.txt CONTENT "${content}")
endfunction()
