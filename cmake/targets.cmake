# How every target of Quillmere is built: its warnings, its hardening, its
# sanitizers, and which layers of the source tree its sources may include.

# The system a source of a pair is for: a unit whose primitives differ
# between systems has <unit>_posix.cpp and <unit>_windows.cpp beside its
# portable part, and a build takes <unit>_${QUILLMERE_PLATFORM}.cpp.
if(WIN32)
  set(QUILLMERE_PLATFORM windows)
else()
  set(QUILLMERE_PLATFORM posix)
endif()

option(QUILLMERE_WERROR "Treat compiler warnings in Quillmere's own code as errors" OFF)
option(QUILLMERE_HARDENING "Build with stack protection, PIE, full RELRO and _FORTIFY_SOURCE" ON)
set(QUILLMERE_SANITIZE "" CACHE STRING
  "Sanitizers to build everything with, a list such as address;undefined (GCC or Clang)")

# Warnings are asked for per target, never globally; third-party sources
# (GoogleTest's, in a cross-build) keep their own.
add_library(quillmere_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(quillmere_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    $<$<BOOL:${QUILLMERE_WERROR}>:-Werror>)
elseif(MSVC)
  target_compile_options(quillmere_warnings INTERFACE /W4 $<$<BOOL:${QUILLMERE_WERROR}>:/WX>)
endif()

# What every library passes on to whatever links it, so that each program
# and test built from them is compiled and linked alike.
add_library(quillmere_build_flags INTERFACE)

# Sanitizers: every object that links a Quillmere library is instrumented,
# and any finding stops the program.
if(QUILLMERE_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "QUILLMERE_SANITIZE needs GCC or Clang")
  endif()
  list(JOIN QUILLMERE_SANITIZE "," quillmere_sanitizers)
  target_compile_options(quillmere_build_flags INTERFACE
    -fsanitize=${quillmere_sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(quillmere_build_flags INTERFACE -fsanitize=${quillmere_sanitizers})
endif()

# The hardening Debian builds its packages with, for every program built
# here with GCC or Clang for Linux: stack protection, position-independent
# executables, read-only relocations bound at start, and checked string and
# memory functions (these need the optimiser, and the sanitizer builds check
# more than they do, so those go without).
if(QUILLMERE_HARDENING AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT WIN32 AND NOT APPLE)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set_property(TARGET quillmere_build_flags PROPERTY INTERFACE_POSITION_INDEPENDENT_CODE ON)
  target_compile_options(quillmere_build_flags INTERFACE -fstack-protector-strong)
  if(NOT QUILLMERE_SANITIZE)
    target_compile_definitions(quillmere_build_flags INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
  target_link_options(quillmere_build_flags INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()

# The layers, each with the layers it sees: its own folder and those below
# it. Sources include headers by their path from the top of the tree
# ("runtime/text.h"); a layer's include root holds links to the folders it
# sees and nothing else, so an include of a layer above fails to compile.
set(quillmere_layer_runtime runtime)
set(quillmere_layer_summary runtime summary)
set(quillmere_layer_workbook runtime summary workbook)
set(quillmere_layer_cli runtime summary workbook cli)
set(quillmere_layer_app/window runtime summary workbook app/window)
set(quillmere_layer_app/qt runtime summary workbook app/window app/qt)
set(quillmere_layer_app/win32 runtime summary workbook app/window app/win32)

# Sets VARIABLE to the include root of LAYER, made in the build folder.
function(quillmere_layer_include_root variable layer)
  if(NOT DEFINED quillmere_layer_${layer})
    message(FATAL_ERROR "${layer} is not a layer of Quillmere")
  endif()
  string(REPLACE "/" "-" root_name "${layer}")
  set(root "${PROJECT_BINARY_DIR}/include/${root_name}")
  foreach(folder IN LISTS quillmere_layer_${layer})
    set(link "${root}/${folder}")
    if(IS_SYMLINK "${link}" OR EXISTS "${link}")
      continue()
    endif()
    get_filename_component(parent "${link}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${link}" RESULT linked SYMBOLIC)
    if(NOT linked EQUAL 0)
      # Where links cannot be made, a copy of the folder's headers, made
      # again whenever one of them changes.
      file(GLOB headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${folder}/*.h")
      file(COPY ${headers} DESTINATION "${link}")
    endif()
  endforeach()
  set(${variable} "${root}" PARENT_SCOPE)
endfunction()

# quillmere_add_library(NAME LAYER FOLDER SOURCES SOURCE...)
# A static library of the layer FOLDER: C++20, the project's warnings, and
# the include root that shows it only its own layer and those below.
function(quillmere_add_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LAYER" "SOURCES")
  if(NOT arg_LAYER OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "quillmere_add_library(${name} LAYER FOLDER SOURCES ...)")
  endif()
  quillmere_layer_include_root(root ${arg_LAYER})
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${root}>)
  target_compile_features(${name} PUBLIC cxx_std_20)
  target_link_libraries(${name} PUBLIC quillmere_build_flags PRIVATE quillmere_warnings)
endfunction()
