# Compile and link settings shared by every target of the project.

# Sources are UTF-8; string literals become Shift-JIS (code page 932).
set(CORVANE_COMPILE_OPTIONS
  -Wall -Wextra -Wno-unused-parameter
  -finput-charset=UTF-8 -fexec-charset=CP932
  # operator new returns null instead of throwing: make new-expressions test it.
  -fcheck-new)

set(CORVANE_SYSTEM_LIBS
  comctl32 shlwapi shell32 ole32 oleaut32 uuid advapi32 winmm imm32 user32 gdi32 kernel32)

# Only system DLLs may be imported.
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")

# The wrapper runs Windows programs under Wine in a private prefix of the build folder.
set(CORVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${CMAKE_SOURCE_DIR}/tools/wine-run.sh;${WINE_LOADER};${CORVANE_WINE_PREFIX})

function(corvane_target_options target)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX,C>:${CORVANE_COMPILE_OPTIONS}>")
  target_compile_definitions(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:CXX,C>:WIN32_LEAN_AND_MEAN;NOMINMAX;_WIN32_WINNT=0x0601;WINVER=0x0601>")
endfunction()
