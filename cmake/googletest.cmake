# GoogleTest from Debian's googletest source package, built for the current target.
set(TSTOOLS_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_disable_pthreads ${TSTOOLS_WINDOWS} CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TSTOOLS_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)
add_library(tstools_gtest INTERFACE)
target_link_libraries(tstools_gtest INTERFACE gtest)
