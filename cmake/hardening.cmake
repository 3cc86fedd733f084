# The hardening Debian builds its packages with, for every program built
# here with GCC or Clang for Linux: stack protection, position-independent
# executables, read-only relocations bound at start, and checked string and
# memory functions (these need the optimiser, and the sanitizer builds check
# more than they do, so those go without).
option(QUILLMERE_HARDENING "Build with stack protection, PIE, full RELRO and _FORTIFY_SOURCE" ON)

if(QUILLMERE_HARDENING AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT WIN32 AND NOT APPLE)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong)
  if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
