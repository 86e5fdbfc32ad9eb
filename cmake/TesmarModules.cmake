# One static library per module, each linking only the modules it may include.
#
# Source layout rules, applied by globbing so that adding a file needs no CMake edit:
#  - every *.cpp of a module folder builds into that module's library tesmar_<module>, except
#    files ending in _win.cpp (Windows only) and _posix.cpp (native only);
#  - every file of ui/ is Windows only; ui exists in the Windows build alone;
#  - app/winmain_win.cpp is the program's entry point and goes into Tesmar.exe alone;
#  - standins/ holds Windows programs that tests start (see tesmar_standins).
# A module whose folder does not exist yet gets an empty target, so dependents can name it;
# once the folder is created its files are picked up at the next configure.
#
# Layers point one way. Each module sees, through its include path, its own folder and the
# folders of the modules below it, and nothing else: an #include of a higher module does not
# compile. The path is a folder of links made at configure time (build/layers/<module>/), as
# every include names its module ("dxf/model.h").
set(TESMAR_MODULES base ui dxf dwg render library cadlink viewer app)

# Direct dependencies; the Windows ones are added in the Windows build only (the module's
# _win files use them).
set(TESMAR_DEPS_base)
set(TESMAR_DEPS_ui base)
set(TESMAR_DEPS_dxf base)
set(TESMAR_DEPS_dwg base)
set(TESMAR_WINDEPS_dwg ui)
set(TESMAR_DEPS_render dxf base)
set(TESMAR_WINDEPS_render ui)
set(TESMAR_DEPS_library render dwg dxf base)
set(TESMAR_DEPS_cadlink base)
set(TESMAR_WINDEPS_cadlink ui)
set(TESMAR_DEPS_viewer render dxf base)
set(TESMAR_WINDEPS_viewer ui)
set(TESMAR_DEPS_app library cadlink viewer render dwg dxf base)
set(TESMAR_WINDEPS_app ui)
# Test stand-ins: Windows programs on the lower layers.
set(TESMAR_DEPS_standins cadlink dwg dxf base)
set(TESMAR_WINDEPS_standins ui)

# The modules of this build (ui only on Windows).
function(tesmar_build_modules out)
  set(mods ${TESMAR_MODULES})
  if(NOT WIN32)
    list(REMOVE_ITEM mods ui)
  endif()
  set(${out} ${mods} PARENT_SCOPE)
endfunction()

# The direct dependencies of module m in this build.
function(tesmar_direct_deps m out)
  set(deps ${TESMAR_DEPS_${m}})
  if(WIN32)
    list(APPEND deps ${TESMAR_WINDEPS_${m}})
  endif()
  set(${out} ${deps} PARENT_SCOPE)
endfunction()

# Module m and every module below it in this build.
function(tesmar_closure m out)
  set(result ${m})
  tesmar_direct_deps(${m} todo)
  while(todo)
    list(POP_FRONT todo d)
    if(NOT d IN_LIST result)
      list(APPEND result ${d})
      tesmar_direct_deps(${d} more)
      list(APPEND todo ${more})
    endif()
  endwhile()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# The include folder of module m: one link per module it may include.
function(tesmar_layer_dir m out)
  set(dir ${CMAKE_BINARY_DIR}/layers/${m})
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  tesmar_closure(${m} visible)
  foreach(v IN LISTS visible)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${v} ${dir}/${v} SYMBOLIC)
  endforeach()
  set(${out} ${dir} PARENT_SCOPE)
endfunction()

# The sources of a folder for this build.
function(tesmar_sources folder out)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

function(tesmar_module_libraries)
  tesmar_build_modules(mods)
  foreach(m IN LISTS mods)
    tesmar_sources(${CMAKE_SOURCE_DIR}/${m} srcs)
    list(FILTER srcs EXCLUDE REGEX "/app/winmain_win\\.cpp$")
    tesmar_layer_dir(${m} dir)
    tesmar_direct_deps(${m} deps)
    list(TRANSFORM deps PREPEND tesmar_)
    if(srcs)
      add_library(tesmar_${m} STATIC ${srcs})
      target_include_directories(tesmar_${m} PUBLIC ${dir})
      target_link_libraries(tesmar_${m} PUBLIC ${deps})
    else()
      add_library(tesmar_${m} INTERFACE)
      target_include_directories(tesmar_${m} INTERFACE ${dir})
      target_link_libraries(tesmar_${m} INTERFACE ${deps})
    endif()
  endforeach()
  if(WIN32)
    target_link_libraries(tesmar_base PUBLIC
      comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 uuid gdi32 user32 windowscodecs dwmapi uxtheme version)
  endif()

  # Everything, for the programs on top (tests, benchmarks, fuzz targets, the tool), which also
  # include their own folders from the source root.
  add_library(tesmar_core INTERFACE)
  list(TRANSFORM mods PREPEND tesmar_ OUTPUT_VARIABLE all)
  target_link_libraries(tesmar_core INTERFACE ${all})
  target_include_directories(tesmar_core INTERFACE ${CMAKE_SOURCE_DIR})
  add_library(tesmar_win ALIAS tesmar_core)
  set(TESMAR_LIBRARIES ${all} PARENT_SCOPE)
endfunction()

# Each standins/<name>.cpp (or folder standins/<name>/) is one Windows program <name>.exe in
# build/<preset>/standins/ (a trailing _win is dropped from the name); tests get that folder as
# TESMAR_STANDINS_DIR and every test program depends on the stand-ins.
function(tesmar_standins)
  set(TESMAR_STANDIN_PROGRAMS "" PARENT_SCOPE)
  if(NOT WIN32 OR NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/standins)
    return()
  endif()
  tesmar_layer_dir(standins dir)
  tesmar_direct_deps(standins deps)
  list(TRANSFORM deps PREPEND tesmar_)
  file(GLOB entries LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/standins/*)
  set(programs)
  foreach(e IN LISTS entries)
    if(IS_DIRECTORY ${e} AND EXISTS ${e}/CMakeLists.txt)
      continue()  # a program with its own build description (standins/CMakeLists.txt adds it)
    elseif(IS_DIRECTORY ${e})
      tesmar_sources(${e} srcs)
    elseif(e MATCHES "\\.cpp$")
      tesmar_sources(${CMAKE_SOURCE_DIR}/standins srcs)
      list(FILTER srcs INCLUDE REGEX "^${e}$")
    else()
      continue()
    endif()
    if(NOT srcs)
      continue()
    endif()
    get_filename_component(name ${e} NAME_WE)
    string(REGEX REPLACE "_win$" "" name ${name})
    add_executable(${name} ${srcs})
    target_include_directories(${name} PRIVATE ${dir})
    target_link_libraries(${name} PRIVATE ${deps})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins)
    list(APPEND programs ${name})
  endforeach()
  set(TESMAR_STANDIN_PROGRAMS ${programs} PARENT_SCOPE)
endfunction()

# A test that the layers hold: for one source file of each module, the compiler's include path
# of that file must reach exactly the modules below it.
function(tesmar_layer_test)
  tesmar_build_modules(mods)
  set(graph)
  foreach(m IN LISTS mods)
    tesmar_closure(${m} visible)
    list(JOIN visible "," v)
    list(APPEND graph "${m}:${v}")
  endforeach()
  # The stand-ins are programs with their own build descriptions: their includes are checked.
  tesmar_closure(standins visible)
  list(JOIN visible "," v)
  list(APPEND graph "includes-only:standins:${v}")
  add_test(NAME layers_reach_only_lower_modules
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/check-layers ${CMAKE_BINARY_DIR}/compile_commands.json
      ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/layer-probes ${graph})
endfunction()
