# The shipped build: 32-bit Windows, compiled here and checked statically.
set(OMBRA_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# No 32-bit Windows code can run on this machine: tests are built, not run.
set(OMBRA_CAN_RUN_TESTS OFF)
