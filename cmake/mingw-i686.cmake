# The product: 32-bit Windows (PE32).
set(TVK_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
