# Compiler settings shared by every target of the project, and the third-party pieces the
# layers build on. Our own targets link pedalwise_options; third-party code does not.
add_library(pedalwise_options INTERFACE)
target_compile_options(pedalwise_options INTERFACE
    -Wall -Wextra -Wpedantic
    # A fused multiply-add rounds once where the source rounds twice: keep every operation
    # as written so that the figures do not depend on the compiler or the processor.
    -ffp-contract=off)

# Boost.Multiprecision is header-only. A cross build must not see the host's /usr/include,
# so it gets a folder that holds nothing but a link to the Boost headers.
find_path(PEDALWISE_HOST_BOOST_DIR boost/multiprecision/cpp_int.hpp
          PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(CMAKE_CROSSCOMPILING)
    set(boost_only ${CMAKE_BINARY_DIR}/boost-include)
    file(MAKE_DIRECTORY ${boost_only})
    if(NOT EXISTS ${boost_only}/boost)
        file(CREATE_LINK ${PEDALWISE_HOST_BOOST_DIR}/boost ${boost_only}/boost SYMBOLIC)
    endif()
    set(PEDALWISE_BOOST_INCLUDE ${boost_only})
else()
    set(PEDALWISE_BOOST_INCLUDE ${PEDALWISE_HOST_BOOST_DIR})
endif()
add_library(pedalwise_boost INTERFACE)
target_include_directories(pedalwise_boost SYSTEM INTERFACE ${PEDALWISE_BOOST_INCLUDE})
target_compile_definitions(pedalwise_boost INTERFACE BOOST_MP_STANDALONE)

if(PEDALWISE_WITH_QT)
    # Qt Svg only for the tool that renders the pictures at build time (resources/), which a
    # cross build takes from the build machine.
    set(qt_components Core Gui Widgets)
    if(NOT CMAKE_CROSSCOMPILING)
        list(APPEND qt_components Svg)
    endif()
    find_package(Qt6 REQUIRED COMPONENTS ${qt_components})
    # Windows screen readers hear the results through the UI Automation notification that Qt
    # raises for an announcement from 6.8 on; with an older Qt they would hear nothing.
    if(WIN32 AND Qt6_VERSION VERSION_LESS 6.8)
        message(FATAL_ERROR "The Windows program needs Qt 6.8 or later; this is Qt ${Qt6_VERSION}")
    endif()
    set(CMAKE_AUTOMOC ON)
    set(CMAKE_AUTORCC ON)
    # Resource format 1 stores no file times, which for pictures rendered during the build
    # would be the build's own time; without zstd, as only format 3 can name it.
    set(PEDALWISE_RCC_OPTIONS --format-version 1 --no-zstd)
    set(CMAKE_AUTORCC_OPTIONS ${PEDALWISE_RCC_OPTIONS})
elseif(NOT PEDALWISE_BUILD_FUZZ)
    # Without the user interface, the platform services, the defaults file and the launcher
    # still build where QtCore is found; without it, the calculation and the defaults file's
    # content alone.
    find_package(Qt6 QUIET COMPONENTS Core)
endif()
