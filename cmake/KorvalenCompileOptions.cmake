# Warnings as errors on the project's own targets (never on GoogleTest's).
function(korvalen_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
  if(MINGW)
    # Optimized for size in Release (the program waits on messages; its few loops over
    # pixels run once per show), each function and datum in a section of its own so
    # that the linker can leave out what nothing uses.
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os -ffunction-sections -fdata-sections>)
  endif()
  if(WIN32)
    # Narrow (ANSI) Win32 calls throughout: the program's text is single-byte.
    target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  endif()
endfunction()

if(KORVALEN_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# A static library of the project's own: warnings on, include root at the repository top.
function(korvalen_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  korvalen_warnings(${name})
endfunction()
