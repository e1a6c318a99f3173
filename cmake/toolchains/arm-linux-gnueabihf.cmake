# Linux armhf (ARMv7, hard float: Raspberry Pi OS 32-bit), from Debian's
# cross compiler (crossbuild-essential-armhf) and the
# armhf libraries installed beside this machine's own (dpkg --add-architecture
# armhf: multiarch). Programs built during the build (quimbrel_rcgen ...) and the
# tests run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
# The Debian architecture of the package that CPack builds.
set(QUIMBREL_DEBIAN_ARCHITECTURE armhf)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(QUIMBREL_CROSS_TRIPLE arm-linux-gnueabihf)
set(CMAKE_C_COMPILER ${QUIMBREL_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${QUIMBREL_CROSS_TRIPLE}-g++)
# GCC notes on 32-bit ARM that passing some structures changed in GCC 7.1: it
# matters only when linking code built by older compilers, which this never does.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
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
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-arm-static -L /usr/${QUIMBREL_CROSS_TRIPLE})
