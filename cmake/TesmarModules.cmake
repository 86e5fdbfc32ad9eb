# Source layout rules, applied by globbing so that adding a file needs no CMake edit:
#  - every *.cpp in the module folders is portable and builds into tesmar_core, except files
#    ending in _win.cpp (Windows only) and _posix.cpp (native only);
#  - every file of ui/ is Windows only;
#  - app/winmain_win.cpp is the program's entry point and goes into Tesmar.exe alone.
# In the Windows build one static library holds everything (the portable code calls its
# platform halves and the other way round); tesmar_win names it together with the system
# libraries.
set(TESMAR_MODULES base dxf render dwg library cadlink app viewer)

function(tesmar_core_library)
  set(srcs)
  foreach(m IN LISTS TESMAR_MODULES)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${m}/*.cpp)
    list(APPEND srcs ${found})
  endforeach()
  if(WIN32)
    file(GLOB_RECURSE ui CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/*.cpp)
    list(APPEND srcs ${ui})
    list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
    list(FILTER srcs EXCLUDE REGEX "/app/winmain_win\\.cpp$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win\\.cpp$")
  endif()
  add_library(tesmar_core STATIC ${srcs})
  target_include_directories(tesmar_core PUBLIC ${CMAKE_SOURCE_DIR})
  if(WIN32)
    target_link_libraries(tesmar_core PUBLIC
      comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 uuid gdi32 user32 windowscodecs dwmapi uxtheme version)
  endif()
endfunction()

function(tesmar_windows_library)
  add_library(tesmar_win INTERFACE)
  target_link_libraries(tesmar_win INTERFACE tesmar_core)
endfunction()
