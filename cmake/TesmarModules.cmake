# Source layout rules, applied by globbing so that adding a file needs no CMake edit:
#  - every *.cpp in the module folders builds into the portable library tesmar_core,
#    except files ending in _win.cpp (Windows only) and _posix.cpp (native only);
#  - every file of ui/ and every *_win.cpp builds into tesmar_win (Windows build only);
#  - app/winmain_win.cpp is the program's entry point and goes into Tesmar.exe alone.
set(TESMAR_MODULES base dxf render dwg library cadlink app viewer)

function(tesmar_core_library)
  set(srcs)
  foreach(m IN LISTS TESMAR_MODULES)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${m}/*.cpp)
    list(APPEND srcs ${found})
  endforeach()
  list(FILTER srcs EXCLUDE REGEX "_win\\.cpp$")
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
  endif()
  add_library(tesmar_core STATIC ${srcs})
  target_include_directories(tesmar_core PUBLIC ${CMAKE_SOURCE_DIR})
  if(NOT WIN32)
    # iconv is part of glibc; nothing to link.
  endif()
endfunction()

function(tesmar_windows_library)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/*.cpp)
  foreach(m IN LISTS TESMAR_MODULES)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${m}/*_win.cpp)
    list(APPEND srcs ${found})
  endforeach()
  list(REMOVE_DUPLICATES srcs)
  list(FILTER srcs EXCLUDE REGEX "/app/winmain_win\\.cpp$")
  add_library(tesmar_win STATIC ${srcs})
  target_link_libraries(tesmar_win PUBLIC tesmar_core
    comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 uuid gdi32 user32 windowscodecs dwmapi uxtheme version)
endfunction()
