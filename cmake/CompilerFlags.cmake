# Warnings, sanitizers and hardening shared by every target of the project.
add_library(mv_flags INTERFACE)
target_compile_options(mv_flags INTERFACE -Wall -Wextra -Wpedantic -Wformat=2 -Wnon-virtual-dtor
                                          -Woverloaded-virtual -Wshadow -Wcast-qual
                                          -Wimplicit-fallthrough)
if(MV_WERROR)
  target_compile_options(mv_flags INTERFACE -Werror)
endif()

if(MV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Hardening for every optimised build, not only Release. The sanitizer and fuzz builds do their
# own checking, and _FORTIFY_SOURCE would only get in their way.
if(NOT MV_SANITIZE AND NOT MV_FUZZ)
  set(mv_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  add_compile_options("$<${mv_optimised}:-fstack-protector-strong;-D_FORTIFY_SOURCE=2>")
  add_link_options("$<${mv_optimised}:LINKER:-z,relro,-z,now>")
endif()
# Bounds-checked standard containers where speed does not matter: development and tests.
add_compile_definitions("$<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>")

# Position-independent executables, so address randomisation covers the program itself.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
