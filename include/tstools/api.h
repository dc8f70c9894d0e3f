/* How TSTOOLS.DLL declares its exports.
 *
 * Every export is declared exactly once, in a public header, as
 *     TSAPI(result type, Name, (parameters));
 * which gives C linkage and the stdcall convention. On i686 the compiler names such a
 * function _Name@N, N being the bytes of its arguments; the DLL exports it under that
 * decorated name. The build derives the export table from these declarations alone.
 *
 * Records whose byte layout is fixed are laid out for the 32-bit DLL; the x86_64 build keeps
 * the same field order, with handle and pointer fields 8 bytes wide.
 */
#ifndef TSTOOLS_API_H
#define TSTOOLS_API_H

#include <windows.h>

#ifdef __cplusplus
#define TSAPI_LINKAGE extern "C"
#else
#define TSAPI_LINKAGE extern
#endif

#if defined(TSTOOLS_EXPORT_SCAN)
/* Build-time only: each declaration also stores its function's address in section .tsapi,
 * so the compiler's own symbol name of every export can be read from one object. */
#define TSAPI(ret, name, params)                                                         \
  TSAPI_LINKAGE ret __stdcall name params;                                               \
  __attribute__((used, section(".tsapi"))) static void *const tsapi_probe_##name = \
      (void *)&name
#elif defined(TSTOOLS_BUILDING)
#define TSAPI(ret, name, params) TSAPI_LINKAGE ret __stdcall name params
#else
#define TSAPI(ret, name, params) TSAPI_LINKAGE __declspec(dllimport) ret __stdcall name params
#endif

#endif
