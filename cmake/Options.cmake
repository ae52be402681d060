# Compile and link settings shared by every target of the project.

# Sources are UTF-8; string literals become Shift-JIS (code page 932).
set(CORVANE_COMPILE_OPTIONS
  -Wall -Wextra -Wno-unused-parameter
  -finput-charset=UTF-8 -fexec-charset=CP932
  # operator new returns null instead of throwing: make new-expressions test it.
  -fcheck-new)

# Only DLLs that Windows always takes from its own folder (comctl32 through
# the manifest); anything else is loaded at run time from the system folder.
set(CORVANE_SYSTEM_LIBS
  comctl32 shlwapi shell32 ole32 uuid advapi32 user32 gdi32 kernel32)

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

# A program of the product: everything but WinMain.cpp goes into <name>_core,
# a library the tests link too; the program adds WinMain and its resources.
function(corvane_program name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/WinMain.cpp)
  add_library(${name}_core STATIC ${sources})
  target_include_directories(${name}_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name}_core PUBLIC sdk)
  corvane_target_options(${name}_core)

  add_executable(${name} WIN32 WinMain.cpp ${name}.rc)
  target_link_libraries(${name} PRIVATE ${name}_core)
  corvane_target_options(${name})
endfunction()
