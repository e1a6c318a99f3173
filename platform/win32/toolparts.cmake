# What the toolkit-free part needs of Windows, included from platform/: the
# version service's file side, read-only files and the program's UTF-8
# arguments in quimbrel_pure (posix/ has the others' own), and the winmm capture stream
# that quimbrel-measure --live reads (quimbrel_wavecapture; its folder is on
# the path so that the tool names the stream without naming the platform).
# quimbrel-measure's console parts are listed in tools/measure/.
target_sources(quimbrel_pure PRIVATE win32/fileversionblock.cpp win32/fileversioninfo.cpp
  win32/fileopen.cpp win32/programarguments.cpp win32/readonlyfile.cpp win32/systemmessage.cpp win32/waveindevices.cpp win32/widetext.cpp)
target_link_libraries(quimbrel_pure PUBLIC version shell32 winmm)

add_library(quimbrel_wavecapture STATIC win32/capturestream.cpp)
target_include_directories(quimbrel_wavecapture PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/win32)
# The stream finds its device with quimbrel_pure's lookup of wave-input devices.
target_link_libraries(quimbrel_wavecapture PUBLIC quimbrel_pure winmm)
