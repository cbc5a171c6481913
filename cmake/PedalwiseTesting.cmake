# GoogleTest from the system on Linux; a cross build compiles Debian's GoogleTest sources
# with the cross compiler, since no Windows build of it is packaged.
if(CMAKE_CROSSCOMPILING)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# A GoogleTest program whose cases ctest lists one by one. Cross-built programs are listed
# when ctest runs, through the emulator, so that the build itself never starts Wine.
function(pedalwise_add_gtest target)
    cmake_parse_arguments(arg "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${target} ${arg_SOURCES})
    target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} pedalwise_test_support GTest::gtest
                                            GTest::gtest_main pedalwise_options)
    if(CMAKE_CROSSCOMPILING)
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
    else()
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# Sets a Qt test's environment. Wine hands a Windows program none of the host's QT_
# variables, only WINEQT_ ones, without their WINE; and Qt Test under Wine writes to the
# console only when asked.
# Listed in docs/workarounds.md ("Wine's Qt variables").
function(pedalwise_qtest_environment test)
    set(environment ${ARGN})
    if(CMAKE_CROSSCOMPILING)
        list(TRANSFORM environment PREPEND WINE)
        list(APPEND environment WINEQT_FORCE_STDERR_LOGGING=1)
    endif()
    set_property(TEST ${test} PROPERTY ENVIRONMENT ${environment})
endfunction()

# A Qt Test program (tests/support's Qt helpers linked in), registered with ctest as one test,
# run on the offscreen platform: no display, no dialog that could block. Built for Windows, it
# runs under Wine on Windows' own platform, on the virtual display the Windows tests run on,
# one at a time as they move the keyboard focus.
function(pedalwise_add_qtest target)
    cmake_parse_arguments(arg "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${target} ${arg_SOURCES})
    target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} pedalwise_qt_test_support
                                            pedalwise_options)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 120 LABELS qt)
    if(CMAKE_CROSSCOMPILING)
        set_tests_properties(${target} PROPERTIES RESOURCE_LOCK pedalwise_wine_display)
        pedalwise_qtest_environment(${target} QT_QPA_PLATFORM=windows QT_ACCESSIBILITY=1)
    else()
        pedalwise_qtest_environment(${target} QT_QPA_PLATFORM=offscreen QT_ACCESSIBILITY=1)
    endif()
endfunction()
