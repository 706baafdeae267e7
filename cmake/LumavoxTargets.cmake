# Compiler settings shared by every target of our own.

if(LUMAVOX_SANITIZE)
  add_compile_options(-fsanitize=${LUMAVOX_SANITIZE} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${LUMAVOX_SANITIZE})
  if(LUMAVOX_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
  # The 32-bit build does its float math in SSE registers, so that the
  # denormal flush of the audio path (MXCSR) applies to it.
  add_compile_options(-msse2 -mfpmath=sse)
  if(WIN32)
    # msvcrt's malloc gives 8-byte alignment in a 32-bit process, but GCC
    # takes plain operator new to give 16 and lets aligned SSE loads touch
    # the members of a 16-aligned class allocated with it: a fault at the
    # first note. With this, new of any class aligned to more than 8 goes
    # through the aligned operator new.
    add_compile_options(-faligned-new=8)
  endif()
endif()

# Warnings for our own code (third-party sources compile without them).
function(lumavox_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                           -Wno-missing-field-initializers)
  if(LUMAVOX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A static library of one layer; its headers are included as "layer/File.h".
function(lumavox_layer target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  lumavox_warnings(${target})
endfunction()
