# Build helpers shared by every subsystem directory.

define_property(GLOBAL PROPERTY TSTOOLS_PORTABLE_SOURCES BRIEF_DOCS "portable sources" FULL_DOCS "files without <windows.h>")
define_property(GLOBAL PROPERTY TSTOOLS_WINDOWS_SOURCES BRIEF_DOCS "Windows glue" FULL_DOCS "files built only into the DLL")

# Off only for the optimised native build that gives the benchmarks' native figures.
option(TSTOOLS_SANITIZE "Native builds with ASan, UBSan and libFuzzer" ON)

include(${CMAKE_CURRENT_LIST_DIR}/libjpeg.cmake)

set(TSTOOLS_RESULTS_DIR ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${TSTOOLS_RESULTS_DIR})

if(TSTOOLS_WINDOWS)
  set(TSTOOLS_WINE "/usr/lib/wine/wine64" CACHE STRING "Wine loader used to run the test programs")
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
  # Nothing beyond system DLLs: the runtime libraries are linked in.
  set(TSTOOLS_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
elseif(TSTOOLS_SANITIZE)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter -fno-omit-frame-pointer
                      -fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=address,undefined)
else()
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()

# tstools_sources(PORTABLE a.cpp ... WINDOWS b.cpp ...)
# PORTABLE files never include <windows.h> and also build natively.
function(tstools_sources)
  cmake_parse_arguments(arg "" "" "PORTABLE;WINDOWS" ${ARGN})
  foreach(f ${arg_PORTABLE})
    set_property(GLOBAL APPEND PROPERTY TSTOOLS_PORTABLE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
  foreach(f ${arg_WINDOWS})
    set_property(GLOBAL APPEND PROPERTY TSTOOLS_WINDOWS_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
endfunction()

# Creates tstools_portable (static, every preset) and, in the cross builds, TSTOOLS.DLL with
# its export table and import library derived from the declarations in include/tstools.
function(tstools_define_libraries)
  get_property(portable GLOBAL PROPERTY TSTOOLS_PORTABLE_SOURCES)
  add_library(tstools_portable STATIC ${portable})
  target_include_directories(tstools_portable PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/include)
  # The JPEG cores; through tstools_portable it reaches the DLL and every program.
  target_link_libraries(tstools_portable PUBLIC tstools_libjpeg)
  if(NOT TSTOOLS_WINDOWS)
    return()
  endif()

  # The export list comes from compiling every public header once with TSTOOLS_EXPORT_SCAN:
  # each declaration then references its function, and the compiler's own symbol names
  # (_Name@N on i686) become the .def file. Nothing is typed twice.
  file(GLOB public_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/include/tstools/*.h)
  set(scan_source ${CMAKE_BINARY_DIR}/generated/export_scan.cpp)
  set(scan_text "// Generated: references every exported declaration.\n#define TSTOOLS_EXPORT_SCAN 1\n")
  foreach(h ${public_headers})
    get_filename_component(hname ${h} NAME)
    string(APPEND scan_text "#include <tstools/${hname}>\n")
  endforeach()
  file(CONFIGURE OUTPUT ${scan_source} CONTENT "${scan_text}")
  add_library(tstools_export_scan OBJECT ${scan_source})
  target_include_directories(tstools_export_scan PRIVATE ${CMAKE_SOURCE_DIR}/include)

  set(def_file ${CMAKE_BINARY_DIR}/generated/TSTOOLS.def)
  set(implib_def ${CMAKE_BINARY_DIR}/generated/TSTOOLS-import.def)
  set(export_list ${CMAKE_BINARY_DIR}/generated/exports.txt)
  add_custom_command(
    OUTPUT ${def_file} ${implib_def} ${export_list}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/exports.py generate
            --objdump ${TSTOOLS_OBJDUMP} --arch ${CMAKE_SYSTEM_PROCESSOR}
            --def ${def_file} --import-def ${implib_def} --list ${export_list}
            $<TARGET_OBJECTS:tstools_export_scan>
    DEPENDS tstools_export_scan $<TARGET_OBJECTS:tstools_export_scan> ${CMAKE_SOURCE_DIR}/scripts/exports.py
    COMMAND_EXPAND_LISTS VERBATIM)
  add_custom_target(tstools_exports DEPENDS ${def_file} ${implib_def} ${export_list})

  get_property(windows GLOBAL PROPERTY TSTOOLS_WINDOWS_SOURCES)
  add_library(tstools SHARED ${windows} ${def_file})
  set_source_files_properties(${def_file} PROPERTIES GENERATED TRUE)
  add_dependencies(tstools tstools_exports)
  target_compile_definitions(tstools PRIVATE TSTOOLS_BUILDING=1)
  target_link_libraries(tstools PRIVATE tstools_portable gdi32 user32 kernel32 advapi32 comctl32 winmm shell32 comdlg32)
  target_link_options(tstools PRIVATE ${TSTOOLS_STATIC_RUNTIME})
  # ld's own import library would carry the i686 names with a doubled underscore; the
  # usable one is made by dlltool below.
  set_target_properties(tstools PROPERTIES OUTPUT_NAME TSTOOLS PREFIX "" SUFFIX ".DLL"
                        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/generated/ld-implib)

  set(implib ${CMAKE_BINARY_DIR}/lib/libtstools.dll.a)
  add_custom_command(TARGET tstools POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/exports.py check
            --objdump ${TSTOOLS_OBJDUMP} --arch ${CMAKE_SYSTEM_PROCESSOR}
            --list ${export_list} $<TARGET_FILE:tstools>
    COMMAND ${TSTOOLS_DLLTOOL} -d ${implib_def} -D TSTOOLS.DLL -l ${implib}
    BYPRODUCTS ${implib}
    VERBATIM)

  # What hosts and our test programs link against.
  add_library(tstools_import SHARED IMPORTED GLOBAL)
  set_target_properties(tstools_import PROPERTIES
    IMPORTED_LOCATION ${CMAKE_BINARY_DIR}/bin/TSTOOLS.DLL
    IMPORTED_IMPLIB ${implib}
    INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/include)
  add_dependencies(tstools_import tstools)

  install(FILES $<TARGET_FILE:tstools> DESTINATION bin)
  install(FILES ${implib} DESTINATION lib)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/tstools DESTINATION include)

  # What a host's own build finds: a CMake package (find_package(TSTOOLS), the imported
  # target TSTOOLS::tstools) and a pkg-config file. Both locate the installation from their
  # own place in it. The version file also refuses a DLL of the other word size.
  include(CMakePackageConfigHelpers)
  set(package_version ${CMAKE_BINARY_DIR}/generated/TSTOOLSConfigVersion.cmake)
  write_basic_package_version_file(${package_version} VERSION ${PROJECT_VERSION}
                                   COMPATIBILITY SameMajorVersion)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/tstools.pc.in ${CMAKE_BINARY_DIR}/generated/tstools.pc @ONLY)
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/TSTOOLSConfig.cmake ${package_version}
          DESTINATION lib/cmake/TSTOOLS)
  install(FILES ${CMAKE_BINARY_DIR}/generated/tstools.pc DESTINATION lib/pkgconfig)
endfunction()

# tstools_program(name extra-include-dir sources...): a test or benchmark program linked with
# the portable library (white box) and, in the cross builds, TSTOOLS.DLL's import library.
function(tstools_program name include_dir)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/include
                             ${include_dir})
  target_link_libraries(${name} PRIVATE tstools_portable)
  if(TSTOOLS_WINDOWS)
    target_link_libraries(${name} PRIVATE tstools_import)
    target_link_options(${name} PRIVATE ${TSTOOLS_STATIC_RUNTIME})
  endif()
endfunction()

# What the 32-bit build can change, and so what its suite runs: every export called through
# its decorated name (argument bytes, x87 results), the x87 numerics, handles and pointers of
# 32 bits, picture playback and drawing. Record layouts are asserted where they are declared.
set(TSTOOLS_I686_TESTS frame_export_smoke_tests numerics_tests numerics_portable_tests memory_tests
    picture_draw_tests quickdraw_shape_tests)

# tstools_add_test(name [PORTABLE] SOURCES ... [LIBS ...])
# A GoogleTest program registered with CTest. PORTABLE tests build in every preset (natively
# under the sanitizers, and under Wine in the cross builds); the others only under Wine.
function(tstools_add_test name)
  cmake_parse_arguments(arg "PORTABLE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT TSTOOLS_WINDOWS AND NOT arg_PORTABLE)
    return()
  endif()
  # The i686 suite is one process (see tstools_add_i686_suite): each listed test is a part.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686" AND name IN_LIST TSTOOLS_I686_TESTS)
    add_library(${name} OBJECT ${arg_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/include
                               ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${name} PUBLIC tstools_portable tstools_import tstools_gtest gdi32 user32
                          advapi32 ${arg_LIBS})
    if(TARGET tshostres)
      add_dependencies(${name} tshostres)
    endif()
    set_property(GLOBAL APPEND PROPERTY TSTOOLS_I686_SUITE_PARTS ${name})
    return()
  endif()
  tstools_program(${name} ${CMAKE_SOURCE_DIR}/tests
                  ${arg_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(${name} PRIVATE tstools_gtest ${arg_LIBS})
  set(timeout ${TSTOOLS_TEST_TIMEOUT})
  if(arg_TIMEOUT)
    set(timeout ${arg_TIMEOUT})
  endif()
  set(xml ${TSTOOLS_RESULTS_DIR}/${name}.xml)
  if(TSTOOLS_WINDOWS)
    # <windows.h> and GoogleTest were most of every test file's compile time.
    if(NOT TARGET tstools_test_pch)
      add_library(tstools_test_pch OBJECT ${CMAKE_SOURCE_DIR}/tests/support/test_pch.cpp)
      target_link_libraries(tstools_test_pch PRIVATE tstools_gtest)
      target_precompile_headers(tstools_test_pch PRIVATE <windows.h> <gtest/gtest.h> <string>
                                <vector> <cstdint> <cstdio> <cstring>)
    endif()
    target_precompile_headers(${name} REUSE_FROM tstools_test_pch)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/child_process.cpp)
    target_link_libraries(${name} PRIVATE gdi32 user32 advapi32)
    if(TARGET tshostres)
      add_dependencies(${name} tshostres)
    endif()
    # Every 32-bit process start costs about a minute and a half under emulation here: the
    # i686 build runs only what it can change (see TSTOOLS_I686_TESTS). The others stay out of
    # its default build too (their compilation was a third of CI); build one by name to try it.
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686" AND NOT name IN_LIST TSTOOLS_I686_TESTS)
      set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
      return()
    endif()
    add_test(NAME ${name}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh ${CMAKE_BINARY_DIR} ${TSTOOLS_WINE}
                     $<TARGET_FILE:${name}> --gtest_output=xml:Z:${xml})
  else()
    add_test(NAME ${name} COMMAND $<TARGET_FILE:${name}> --gtest_output=xml:${xml})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout})
endfunction()

# tstools_add_i686_suite(): after every test directory, links the parts of the i686 suite into
# one program. Starting a 32-bit process under emulation costs more than most suites take to
# run, so the parts share one start; their objects keep their own definitions and dependencies.
function(tstools_add_i686_suite)
  get_property(parts GLOBAL PROPERTY TSTOOLS_I686_SUITE_PARTS)
  if(NOT parts)
    return()
  endif()
  tstools_program(i686_suite ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp
                  ${CMAKE_SOURCE_DIR}/tests/support/child_process.cpp)
  target_link_libraries(i686_suite PRIVATE ${parts})
  set(xml ${TSTOOLS_RESULTS_DIR}/i686_suite.xml)
  add_test(NAME i686_suite
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh ${CMAKE_BINARY_DIR} ${TSTOOLS_WINE}
                   $<TARGET_FILE:i686_suite> --gtest_output=xml:Z:${xml})
  set_tests_properties(i686_suite PROPERTIES TIMEOUT ${TSTOOLS_TEST_TIMEOUT})
endfunction()

# tstools_add_fuzzer(name SOURCES ... [SECONDS n] [SEEDS dir]): a libFuzzer target (native
# preset only), registered as a short run over its seeds (SEEDS, else fuzz/corpus/<name>).
function(tstools_add_fuzzer name)
  cmake_parse_arguments(arg "" "SECONDS;SEEDS" "SOURCES" ${ARGN})
  if(TSTOOLS_WINDOWS)
    return()
  endif()
  if(NOT arg_SECONDS)
    set(arg_SECONDS 5)
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/include)
  target_link_libraries(${name} PRIVATE tstools_portable)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_BINARY_DIR}/fuzz-work/${name})
  set(seeds ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  if(arg_SEEDS)
    set(seeds ${arg_SEEDS})
  endif()
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                   ${CMAKE_SOURCE_DIR}/scripts/fuzz-run.sh $<TARGET_FILE:${name}> ${work} ${seeds} ${arg_SECONDS})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS fuzz)
endfunction()

# tstools_add_bench(name [PORTABLE] SOURCES ...): a benchmark program, built by the presets and
# run by scripts/bench.sh (never by the tests). PORTABLE ones build natively too.
function(tstools_add_bench name)
  cmake_parse_arguments(arg "PORTABLE" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TSTOOLS_WINDOWS AND NOT arg_PORTABLE)
    return()
  endif()
  tstools_program(${name} ${CMAKE_SOURCE_DIR}/bench ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS})
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/benchmarks-${name}.txt CONTENT "$<TARGET_FILE:${name}>\n")
endfunction()
