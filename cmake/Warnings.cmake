# Project-wide compile settings: warnings are errors, sanitizers and coverage on request.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)
if(QUORVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(QUORVEL_COVERAGE)
  add_compile_options(--coverage -O0)
  add_link_options(--coverage)
endif()
if(QUORVEL_FUZZ)
  # every library the fuzz targets reach reports its coverage to libFuzzer
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
