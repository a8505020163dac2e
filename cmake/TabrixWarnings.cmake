# Shared compile settings for every Tabrix target: strict warnings, GBK literals,
# and the sanitizers when asked for.
function(tabrix_target_settings target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Werror -finput-charset=UTF-8 -fexec-charset=GBK>)
  if(TABRIX_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
