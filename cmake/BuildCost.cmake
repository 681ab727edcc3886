# What a clean build costs: nearly all of it was every unit parsing the same
# Windows, OLE and GoogleTest headers again, and every test unit compiling the
# same GoogleTest and standard-library templates again. Every library and
# executable of ours therefore gets, by default (tvk_build_setup):
#   - a precompiled header of those system headers, made once per set and
#     reused by every target of the set (REUSE_FROM). Project headers stay out:
#     they cost little and would rebuild everything on every edit;
#   - a unity build: the units of a target are compiled a batch at a time, so
#     the project headers and the templates they share are parsed and compiled
#     (at -O3, for the libraries) once per batch, not once per unit. Units of
#     one folder therefore must not repeat a name in their anonymous
#     namespaces or file-local statics (a clash is a compile error): a helper
#     two units need belongs in a header of its owner.
# Sets: RELEASE (the module's libraries and the benchmarks: the product's own
# flags), TEST (test executables: lighter optimisation) and HOST (the simulated
# host, never shipped: the release set's header at the tests' optimisation,
# which takes a quarter off its compile time).
# scripts/buildcost.py shows where a build's time went.
#
# Both hide a missing #include: -DTVK_FAST_BUILD=OFF compiles every unit on its
# own, without a precompiled header, as the units are written (a check to run
# after adding includes or moving code between headers).
option(TVK_FAST_BUILD "Precompiled headers and unity builds" ON)
# Units per unity batch: fewer batches cost less (each pays for its headers
# and templates again), more keep cores busy. CPU time is what CI pays for.
set(TVK_UNITY_BATCH 64 CACHE STRING "Units per unity batch")
# Test code only: it checks behaviour, not speed, and -O3 costs it a third more
# compile time (benchmarks keep the product's flags). -Og, not -O1: it inlines
# too little for the false warnings below to reach test code.
set(TVK_TEST_OPT -Og CACHE STRING "Optimisation of test sources and GoogleTest")

# GCC 12 loses the standard library's own warning pragmas in a precompiled
# header: at -O3, string code inlined from it then warns falsely
# (-Warray-bounds in char_traits). The release set therefore holds the Windows
# and OLE headers, by far the heaviest, and only standard headers that do not
# bring in char_traits (not <string>, <string_view>, <memory>, streams).
set(TVK_PCH_RELEASE
  <windows.h> <ole2.h> <oleauto.h>
  <algorithm> <array> <functional> <map> <optional> <set> <span> <tuple> <utility> <vector>)
set(TVK_PCH_TEST ${TVK_PCH_RELEASE} <memory> <string> <string_view> <gtest/gtest.h>)

# The owner of each set's precompiled header: an object library with one empty
# unit, set up as the set's targets are, so its header fits every one of them.
# Made here, in the top folder, with its compile options and nothing more.
function(tvk_pch_owner set)
  set(owner tvk_pch_${set})
  set(stub ${CMAKE_BINARY_DIR}/pch/${set}.cpp)
  if(NOT EXISTS ${stub})
    file(WRITE ${stub} "// Owns the precompiled header of the ${set} set.\n")
  endif()
  add_library(${owner} OBJECT ${stub})
  target_precompile_headers(${owner} PRIVATE ${TVK_PCH_${set}})
  if(set STREQUAL "TEST")
    target_compile_options(${owner} PRIVATE ${TVK_TEST_OPT})
    # GoogleTest's own settings, without depending on it (it uses this header too).
    target_include_directories(${owner} SYSTEM PRIVATE $<TARGET_PROPERTY:gtest,INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${owner} PRIVATE $<TARGET_PROPERTY:gtest,INTERFACE_COMPILE_DEFINITIONS>)
    target_compile_options(${owner} PRIVATE $<TARGET_PROPERTY:gtest,INTERFACE_COMPILE_OPTIONS>)
  endif()
endfunction()

if(TVK_FAST_BUILD)
  tvk_pch_owner(RELEASE)
  tvk_pch_owner(TEST)
endif()

# tvk_build_setup(<target> RELEASE|TEST|HOST): the treatment above for one target.
function(tvk_build_setup target set)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    return()
  endif()
  set_property(TARGET ${target} PROPERTY TVK_BUILD_SET ${set})
  if(set MATCHES "^(TEST|HOST)$")
    target_compile_options(${target} PRIVATE ${TVK_TEST_OPT})
  endif()
  if(NOT TVK_FAST_BUILD)
    return()
  endif()
  # A precompiled header holds parsed declarations only: one made at -O3
  # serves -Og units as well.
  set(pch_set ${set})
  if(set STREQUAL "HOST")
    set(pch_set RELEASE)
  endif()
  target_precompile_headers(${target} REUSE_FROM tvk_pch_${pch_set})
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${TVK_UNITY_BATCH})
  # In a batch every unit is an included file, so a class using a type of its
  # unit's anonymous namespace looks like a header's mistake: it is not.
  target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
endfunction()

# Every target of this tree that no entry point set up gets it here, by folder:
# under tests/ the TEST set, under hostsim/ HOST, elsewhere RELEASE. Called
# once, at the end.
function(tvk_build_setup_rest)
  set(dirs ${CMAKE_SOURCE_DIR})
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
      if(sub MATCHES "^${CMAKE_SOURCE_DIR}/")
        list(APPEND dirs ${sub})
      endif()
    endforeach()
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      get_target_property(done ${target} TVK_BUILD_SET)
      if(done OR target MATCHES "^tvk_pch_" OR NOT type MATCHES "LIBRARY|EXECUTABLE")
        continue()
      endif()
      if(dir MATCHES "^${CMAKE_SOURCE_DIR}/tests(/|$)")
        tvk_build_setup(${target} TEST)
      elseif(dir MATCHES "^${CMAKE_SOURCE_DIR}/hostsim(/|$)")
        tvk_build_setup(${target} HOST)
      else()
        tvk_build_setup(${target} RELEASE)
      endif()
    endforeach()
  endwhile()
endfunction()
