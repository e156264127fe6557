# How test programs become CTest tests. Natively each GoogleTest case is a
# test of its own. A cross-built program runs under CMAKE_CROSSCOMPILING_EMULATOR,
# where every start costs seconds (Wine): it runs once, all its cases in one
# process, and its GoogleTest comes from Debian's sources, built for the target.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest REQUIRED)
  include(GoogleTest)
else()
  set(QUORVEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for a cross build")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QUORVEL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

if(CMAKE_CROSSCOMPILING AND WIN32)
  # A fresh Wine prefix inside the build folder, made once before the first
  # test program needs it (two at once would both try to make it).
  set(QUORVEL_WINE ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
  set(QUORVEL_WINE_FIXTURES wine)
  if(QUORVEL_BUILD_UI)
    # Windows with windows need a screen: one Xvfb for the whole run, and every
    # Wine program on it, since the prefix's desktop belongs to the first one.
    set(xvfb_dir ${CMAKE_BINARY_DIR}/xvfb)
    set(QUORVEL_WINE /usr/bin/env QUORVEL_WINE_DISPLAY_FILE=${xvfb_dir}/display ${QUORVEL_WINE})
    add_test(NAME xvfb_start COMMAND ${PROJECT_SOURCE_DIR}/scripts/xvfb-fixture.sh start ${xvfb_dir})
    add_test(NAME xvfb_stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/xvfb-fixture.sh stop ${xvfb_dir})
    set_tests_properties(xvfb_start PROPERTIES FIXTURES_SETUP display)
    set_tests_properties(xvfb_stop PROPERTIES FIXTURES_CLEANUP display)
    list(APPEND QUORVEL_WINE_FIXTURES display)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVEL_WINE})
  set(QUORVEL_LINUX_CLI "" CACHE FILEPATH "A Linux quorvel-cli to compare the Windows one with (make test-windows sets it)")
  add_test(NAME wine_prefix COMMAND ${QUORVEL_WINE} wineboot --init)
  add_test(NAME wine_stop COMMAND ${QUORVEL_WINE} --stop)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)
  if(QUORVEL_BUILD_UI)
    set_tests_properties(wine_prefix wine_stop PROPERTIES FIXTURES_REQUIRED display)
  endif()
endif()

# Makes the test ATest of a cross-built program run under Wine after the prefix
# (and the screen) are ready. WINDOWS: it shows windows, and runs alone: two
# programs' windows on the one Wine screen were seen to block each other.
function(quorvel_wine_test ATest)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    set_tests_properties(${ATest} PROPERTIES FIXTURES_REQUIRED "${QUORVEL_WINE_FIXTURES}")
    if("WINDOWS" IN_LIST ARGN)
      set_tests_properties(${ATest} PROPERTIES RUN_SERIAL TRUE)
    endif()
  endif()
endfunction()

# Runs the cases AFilter of a cross-built test program once more, under the
# ANSI code page of the Wine locale ALocale.
function(quorvel_add_gtest_in_locale ATarget AFilter ALocale)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    add_test(NAME ${ATarget}_${ALocale} COMMAND ${ATarget} --gtest_filter=${AFilter})
    set_tests_properties(${ATarget}_${ALocale} PROPERTIES FIXTURES_REQUIRED "${QUORVEL_WINE_FIXTURES}"
                         ENVIRONMENT QUORVEL_WINE_LOCALE=${ALocale})
  endif()
endfunction()

function(quorvel_add_gtest ATarget)
  if(NOT CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${ATarget} DISCOVERY_TIMEOUT 60)
    return()
  endif()
  add_test(NAME ${ATarget} COMMAND ${ATarget})
  quorvel_wine_test(${ATarget})
endfunction()
