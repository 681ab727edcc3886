# The twin: 64-bit Windows (PE32+), a test vehicle that is never shipped.
set(TVK_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
