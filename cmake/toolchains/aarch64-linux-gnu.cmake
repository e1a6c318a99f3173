# Linux arm64 (AArch64: a Raspberry Pi 3, 4 or 5 on a 64-bit system), from
# Debian's cross compiler (crossbuild-essential-arm64) and the
# arm64 libraries installed beside this machine's own (dpkg --add-architecture
# arm64: multiarch). Programs built during the build (quimbrel_rcgen ...) and the
# tests run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
# The Debian architecture of the package that CPack builds.
set(QUIMBREL_DEBIAN_ARCHITECTURE arm64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(QUIMBREL_CROSS_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${QUIMBREL_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${QUIMBREL_CROSS_TRIPLE}-g++)
# Multiarch: the libraries are in /usr/lib/${QUIMBREL_CROSS_TRIPLE}, the
# headers in /usr/include; only programs are searched on this machine.
set(CMAKE_LIBRARY_ARCHITECTURE ${QUIMBREL_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH /usr/${QUIMBREL_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${QUIMBREL_CROSS_TRIPLE}/pkgconfig:/usr/share/pkgconfig)
# Qt's build-time tools (moc, rcc) are this machine's own, from qt6-base-dev-tools.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu/cmake)

# The C library's loader and libraries come from the cross toolchain's folder;
# the multiarch ones are found where they are.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-aarch64-static -L /usr/${QUIMBREL_CROSS_TRIPLE})
