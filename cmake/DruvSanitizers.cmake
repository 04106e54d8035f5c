# DRUV_SANITIZE=address;undefined or DRUV_SANITIZE=thread, for native builds.
if(DRUV_SANITIZE)
  if(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR "Sanitizers are for native builds only")
  endif()
  list(JOIN DRUV_SANITIZE "," _druv_sanitizers)
  add_compile_options(-fsanitize=${_druv_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all -g)
  add_link_options(-fsanitize=${_druv_sanitizers})
endif()

# Fuzz builds instrument all our code for coverage; only the fuzz programs link
# libFuzzer's main.
if(DRUV_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
