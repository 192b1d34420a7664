# Compiler flags, each behind the check of the compiler that knows it.
#
# Narrow string literals are the system's own text: code page 932 bytes. The
# sources are UTF-8, so "減価償却" in a source reads as its code page 932 bytes
# in the program. (clang cannot convert; its builds serve the fuzzers only.)
if(CMAKE_CXX_COMPILER_ID MATCHES "^(GNU|Clang|AppleClang)$")
  set(VELOR_GNU_LIKE TRUE)
  add_compile_options(-Wall -Wextra)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP932>)
  endif()
elseif(MSVC)
  set(VELOR_GNU_LIKE FALSE)
  add_compile_options(/W4 /source-charset:utf-8 $<$<COMPILE_LANGUAGE:CXX>:/execution-charset:.932>)
else()
  message(FATAL_ERROR "No flags are known for the compiler ${CMAKE_CXX_COMPILER_ID}")
endif()

# With VELOR_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer for the
# whole tree; the flags go to VELOR_SANITIZE_FLAGS for programs built apart.
if(VELOR_SANITIZE)
  if(VELOR_GNU_LIKE)
    set(VELOR_SANITIZE_FLAGS "-fsanitize=address,undefined")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  elseif(MSVC)
    set(VELOR_SANITIZE_FLAGS "/fsanitize=address")
    add_compile_options(/fsanitize=address)
  endif()
endif()
