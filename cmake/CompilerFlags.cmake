# Warnings, sanitizers and hardening shared by every target of the project.
add_library(mv_flags INTERFACE)
target_compile_options(mv_flags INTERFACE -Wall -Wextra -Wpedantic)
if(MV_WERROR)
  target_compile_options(mv_flags INTERFACE -Werror)
endif()

if(MV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(CMAKE_BUILD_TYPE STREQUAL "Release")
  add_compile_options(-fstack-protector-strong -D_FORTIFY_SOURCE=2)
endif()
