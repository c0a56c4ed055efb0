# Compiler flags shared by every target of the project.
option(KORVANE_WERROR "Treat warnings as errors" OFF)
option(KORVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KORVANE_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
endif()

add_library(korvane_flags INTERFACE)
target_compile_options(korvane_flags INTERFACE -Wall -Wextra)
if(KORVANE_WERROR)
  target_compile_options(korvane_flags INTERFACE -Werror)
endif()
if(KORVANE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
