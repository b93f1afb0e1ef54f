add_library(quiltro_flags INTERFACE)
target_compile_options(quiltro_flags INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wno-unused-parameter>
  $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra>)
if(QUILTRO_WERROR)
  target_compile_options(quiltro_flags INTERFACE -Werror)
endif()
if(QUILTRO_SANITIZE)
  target_compile_options(quiltro_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(quiltro_flags INTERFACE -fsanitize=address,undefined)
endif()
if(QUILTRO_FUZZ)
  target_compile_options(quiltro_flags INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
  target_link_options(quiltro_flags INTERFACE -fsanitize=address,undefined)
endif()
