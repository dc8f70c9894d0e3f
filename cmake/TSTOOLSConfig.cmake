# find_package(TSTOOLS) for an installed TSTOOLS: the imported target TSTOOLS::tstools carries
# TSTOOLS.DLL, its import library and the include directory. Every path is found from this
# file's own place (<prefix>/lib/cmake/TSTOOLS), so the installation may be moved.
get_filename_component(_tstools_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

if(NOT TARGET TSTOOLS::tstools)
  add_library(TSTOOLS::tstools SHARED IMPORTED)
  set_target_properties(TSTOOLS::tstools PROPERTIES
    IMPORTED_LOCATION "${_tstools_prefix}/bin/TSTOOLS.DLL"
    IMPORTED_IMPLIB "${_tstools_prefix}/lib/libtstools.dll.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_tstools_prefix}/include")
endif()

# The DLL a host ships beside its program ($<TARGET_RUNTIME_DLLS:...> finds it too).
set(TSTOOLS_DLL "${_tstools_prefix}/bin/TSTOOLS.DLL")
set(TSTOOLS_INCLUDE_DIRS "${_tstools_prefix}/include")
unset(_tstools_prefix)
