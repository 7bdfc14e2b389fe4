# Cross-compiles the Windows build with Debian's mingw-w64 (x86_64).
#
# Debian ships two thread models of the compiler; the default one ("win32") lacks std::mutex and
# std::recursive_mutex, which the log writer uses, so the POSIX-threads variant is chosen here.
# The program links statically (see CMakeLists.txt), so its winpthreads and C++ runtime are
# inside Tilewright.exe and a bare Windows 8 needs no extra DLL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
