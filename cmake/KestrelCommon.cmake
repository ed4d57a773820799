# Shared compile settings: one INTERFACE target carries warnings for every folder target.
add_library(kestrel_warnings INTERFACE)
target_compile_options(kestrel_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(KESTREL_WERROR)
  target_compile_options(kestrel_warnings INTERFACE -Werror)
endif()

if(KESTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing: coverage for libFuzzer everywhere; the harnesses link libFuzzer's own main.
if(KESTREL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KESTREL_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++-14)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# A folder of the module: objects compiled with hidden visibility, merged into libkestrel.
function(kestrel_add_module_part name)
  add_library(${name} OBJECT ${ARGN})
  target_link_libraries(${name} PUBLIC kestrel_components kestrel_warnings)
  target_compile_definitions(${name} PRIVATE KESTREL_BUILDING)
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN OFF)
endfunction()

# A folder of the stand-in platform layers: objects merged into libkestrel_components.
function(kestrel_add_component name)
  add_library(${name} OBJECT ${ARGN})
  target_link_libraries(${name} PUBLIC kestrel_warnings)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${KESTREL_INCLUDE_DIR})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# Precompiled headers reach ccache through -include: it hits on them only when it is told to
# trust their defines and time macros. A build without ccache is unaffected.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$")
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=pch_defines,time_macros
      ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
