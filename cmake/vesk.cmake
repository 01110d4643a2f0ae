# Build helpers shared by every component.
#
# Layout of the build folder:
#   stage/            the client as it is shipped: runtime.exe, plugins\*.vkm
#   stage/plugins/
#   tests/            test programs
#   fixtures/         plug-in modules that exist only for tests
# Every folder that holds programs also holds the GCC runtime DLLs: a plug-in
# and its host must share one C++ runtime, or an exception thrown in the
# plug-in cannot be caught by the host.

set(VESK_STAGE    ${CMAKE_BINARY_DIR}/stage)
set(VESK_PLUGINS  ${VESK_STAGE}/plugins)
set(VESK_TESTS    ${CMAKE_BINARY_DIR}/tests)
set(VESK_FIXTURES ${CMAKE_BINARY_DIR}/fixtures)
file(MAKE_DIRECTORY ${VESK_STAGE} ${VESK_PLUGINS} ${VESK_TESTS} ${VESK_FIXTURES})

set(VESK_WARNINGS -Wall -Wextra -Wshadow)

# The unwinder's DLL is named after its exception model: DWARF on i686,
# SEH on x86_64.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VESK_GCC_DLL libgcc_s_seh-1.dll)
else()
  set(VESK_GCC_DLL libgcc_s_dw2-1.dll)
endif()
set(VESK_RUNTIME_DLL_NAMES libstdc++-6.dll ${VESK_GCC_DLL} libwinpthread-1.dll)
set(VESK_RUNTIME_DLLS)
foreach(dll ${VESK_RUNTIME_DLL_NAMES})
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    set(path /usr/${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32/lib/${dll})
  endif()
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "GCC runtime library ${dll} not found")
  endif()
  list(APPEND VESK_RUNTIME_DLLS ${path})
endforeach()
foreach(dir ${VESK_STAGE} ${VESK_TESTS} ${VESK_FIXTURES})
  file(COPY ${VESK_RUNTIME_DLLS} DESTINATION ${dir})
endforeach()

# Wine environment for everything CTest starts.
if(DEFINED ENV{WINEPREFIX})
  set(VESK_WINEPREFIX $ENV{WINEPREFIX})
else()
  set(VESK_WINEPREFIX $ENV{HOME}/.wine)
endif()
# winedbg off: a crash then ends the test at once (its "wine: Unhandled" line
# still fails it) instead of keeping Wine alive until the time-out.
set(VESK_TEST_ENV "WINEDEBUG=-all" "WINEPREFIX=${VESK_WINEPREFIX}" "WINEDLLOVERRIDES=winedbg.exe=d")

function(vesk_compile_options target)
  target_compile_options(${target} PRIVATE ${VESK_WARNINGS})
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0600)
endfunction()

# A plug-in module: <name>.vkm without the "lib" prefix.
#   vesk_add_plugin(<name> [FIXTURE] SOURCES ... [LIBS ...])
# FIXTURE modules go to fixtures/ instead of the shipped plugins\ folder.
function(vesk_add_plugin name)
  cmake_parse_arguments(P "FIXTURE" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${P_SOURCES})
  vesk_compile_options(${name})
  target_link_libraries(${name} PRIVATE vesk_core ${P_LIBS})
  if(P_FIXTURE)
    set(out ${VESK_FIXTURES})
  else()
    set(out ${VESK_PLUGINS})
  endif()
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".vkm"
      RUNTIME_OUTPUT_DIRECTORY ${out} LIBRARY_OUTPUT_DIRECTORY ${out})
endfunction()

# A GoogleTest program run by CTest under Wine.
#   vesk_add_test(<name> [PROGRAM_ONLY] SOURCES ... [LIBS ...] [DEPENDS ...])
# DEPENDS names targets that must be built before the test runs (modules
# it loads, programs it starts). PROGRAM_ONLY builds the program without a
# test of its own: a test that prepares its setting (a script) runs it.
function(vesk_add_test name)
  cmake_parse_arguments(T "PROGRAM_ONLY" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  vesk_compile_options(${name})
  target_link_libraries(${name} PRIVATE vesk_testing ${T_LIBS} gtest gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VESK_TESTS})
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  if(T_PROGRAM_ONLY)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${VESK_TESTS})
  # A crash is a failure even when Wine's exit code would not say so.
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VESK_TEST_ENV}" TIMEOUT 600
                       FAIL_REGULAR_EXPRESSION "wine: Unhandled")
endfunction()

# A test that a bash script runs, given the build folder, the emulator and
# ARGS; its exit code 77 says it was skipped (what it needs is not there).
#   vesk_add_script_test(<name> <script> [ARGS ...])
function(vesk_add_script_test name script)
  cmake_parse_arguments(S "" "" "ARGS" ${ARGN})
  add_test(NAME ${name} COMMAND bash ${script} ${CMAKE_BINARY_DIR} ${CMAKE_CROSSCOMPILING_EMULATOR} ${S_ARGS})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VESK_TEST_ENV}" TIMEOUT 600 SKIP_RETURN_CODE 77
                       FAIL_REGULAR_EXPRESSION "wine: Unhandled")
endfunction()

# A resource-only library (no code, no entry point) built from .rc files:
#   vesk_add_resource_module(<name> [FIXTURE] SOURCES ... [DEPENDS ...])
# DEPENDS lists files the .rc files include (headers of ids, included .rc),
# so that changing them rebuilds the module.
function(vesk_add_resource_module name)
  cmake_parse_arguments(R "FIXTURE" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} SHARED ${R_SOURCES})
  set_target_properties(${name} PROPERTIES LINKER_LANGUAGE C PREFIX "" SUFFIX ".vkm")
  target_link_options(${name} PRIVATE -nostdlib -Wl,-e,0)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  if(R_DEPENDS)
    set_source_files_properties(${R_SOURCES} PROPERTIES OBJECT_DEPENDS "${R_DEPENDS}")
  endif()
  if(R_FIXTURE)
    set(out ${VESK_FIXTURES})
  else()
    set(out ${VESK_PLUGINS})
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${out} LIBRARY_OUTPUT_DIRECTORY ${out})
endfunction()

# Tests that show windows on the shared test display take turns: another
# test's window on top, or one of the same class, would change what they
# find by class or read back from the screen.
function(vesk_test_uses_screen name)
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK screen)
endfunction()

# Tests that read or write the client's registry key (HKEY_CURRENT_USER
# Software\Pelloran) in the shared test prefix: the reset tool's "Plugins"
# value there decides which settings text a started client gets.
function(vesk_test_uses_client_registry name)
  set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK client_registry)
endfunction()
