# libjpeg (6b interface) from Debian's source package, built static with SIMD by
# scripts/build-libjpeg.sh at configure time, once per target, into build/libjpeg/ (shared by
# every preset of the checkout). Provides the imported target tstools_libjpeg.
if(TSTOOLS_WINDOWS)
  set(TSTOOLS_LIBJPEG_TARGET ${TSTOOLS_TRIPLE})
else()
  set(TSTOOLS_LIBJPEG_TARGET native)
endif()
set(TSTOOLS_LIBJPEG_CACHE ${CMAKE_SOURCE_DIR}/build/libjpeg CACHE PATH "Where libjpeg is fetched and built")
set(libjpeg_dir ${TSTOOLS_LIBJPEG_CACHE}/${TSTOOLS_LIBJPEG_TARGET})

execute_process(
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-libjpeg.sh ${TSTOOLS_LIBJPEG_TARGET} ${TSTOOLS_LIBJPEG_CACHE}
  RESULT_VARIABLE libjpeg_result)
if(NOT libjpeg_result EQUAL 0)
  message(FATAL_ERROR "libjpeg could not be built for ${TSTOOLS_LIBJPEG_TARGET} (see ${libjpeg_dir})")
endif()

add_library(tstools_libjpeg STATIC IMPORTED GLOBAL)
set_target_properties(tstools_libjpeg PROPERTIES
  IMPORTED_LOCATION ${libjpeg_dir}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${libjpeg_dir}/include)
