option(PARLOWEN_WERROR "Treat compiler warnings as errors" OFF)

function(parlowen_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive- $<$<BOOL:${PARLOWEN_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
      -Wnon-virtual-dtor -Woverloaded-virtual $<$<BOOL:${PARLOWEN_WERROR}>:-Werror>)
  endif()
endfunction()
