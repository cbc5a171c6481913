# Checks what `cmake --install` put under a prefix: every file in its freedesktop place, each
# PNG icon of the size its folder names, and the names and version agreeing between files.
#   cmake -DSTAGE=... -DAPP_ID=... -DVERSION=... -DICON_SIZES="32;48" -DLICENSE=... -P CheckInstallTree.cmake
cmake_minimum_required(VERSION 3.25)
set(faults)
macro(fault text)
    list(APPEND faults "${text}")
endmacro()

set(expected
    bin/pedalwise
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/doc/pedalwise/copyright
    share/doc/pedalwise/changelog.gz
    share/man/man1/pedalwise.1.gz)
foreach(size IN LISTS ICON_SIZES)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
foreach(path IN LISTS expected)
    if(NOT EXISTS ${STAGE}/${path})
        fault("missing: ${path}")
    endif()
endforeach()

if(EXISTS ${STAGE}/bin/pedalwise AND NOT IS_DIRECTORY ${STAGE}/bin/pedalwise)
    file(READ ${STAGE}/bin/pedalwise magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
        fault("bin/pedalwise is not a program")
    endif()
endif()

# A PNG starts with an 8-byte signature and the IHDR chunk, whose width and height are the
# big-endian words at bytes 16 and 20.
foreach(size IN LISTS ICON_SIZES)
    set(png ${STAGE}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    if(NOT EXISTS ${png})
        continue()
    endif()
    file(READ ${png} header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 8 width_hex)
    string(SUBSTRING "${header}" 40 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        fault("${size}x${size} icon is not a PNG")
    elseif(NOT width EQUAL size OR NOT height EQUAL size)
        fault("${size}x${size} icon is ${width}x${height}")
    endif()
endforeach()

set(desktop ${STAGE}/share/applications/${APP_ID}.desktop)
if(EXISTS ${desktop})
    file(STRINGS ${desktop} lines)
    foreach(want "Icon=${APP_ID}" "Exec=pedalwise")
        if(NOT want IN_LIST lines)
            fault("the desktop entry lacks ${want}")
        endif()
    endforeach()
endif()

set(metainfo ${STAGE}/share/metainfo/${APP_ID}.metainfo.xml)
if(EXISTS ${metainfo})
    file(READ ${metainfo} text)
    foreach(want "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
                 "<release version=\"${VERSION}\"")
        string(FIND "${text}" "${want}" at)
        if(at EQUAL -1)
            fault("the metainfo lacks ${want}")
        endif()
    endforeach()
endif()

# Debian's documents. gzip -n leaves the name flag (byte 3) and the time stamp (bytes 4 to 7)
# zero, so that every build packs the same bytes.
foreach(gz share/doc/pedalwise/changelog.gz share/man/man1/pedalwise.1.gz)
    if(EXISTS ${STAGE}/${gz})
        file(READ ${STAGE}/${gz} header LIMIT 8 HEX)
        if(NOT header MATCHES "^1f8b08..00000000$")
            fault("${gz} is not gzipped without name and time stamp: ${header}")
        endif()
    endif()
endforeach()
set(changelog ${STAGE}/share/doc/pedalwise/changelog.gz)
if(EXISTS ${changelog})
    execute_process(COMMAND gzip -dc ${changelog} OUTPUT_VARIABLE text)
    if(NOT text MATCHES "^pedalwise \\(${VERSION}\\) ")
        fault("the changelog does not start with version ${VERSION}")
    endif()
endif()
# The licence in Debian's machine-readable form: every line of LICENSE, indented by one space.
set(copyright ${STAGE}/share/doc/pedalwise/copyright)
if(EXISTS ${copyright})
    file(READ ${copyright} text)
    file(STRINGS ${LICENSE} license_lines)
    foreach(want "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
                 "\nLicense: MIT\n" ${license_lines})
        if(NOT want MATCHES "\n")
            set(want "\n ${want}\n")
        endif()
        string(FIND "${text}" "${want}" at)
        if(at EQUAL -1)
            string(STRIP "${want}" want)
            fault("the copyright file lacks \"${want}\"")
        endif()
    endforeach()
endif()

if(faults)
    list(JOIN faults "\n  " report)
    message(FATAL_ERROR "The install tree under ${STAGE} is wrong:\n  ${report}")
endif()
message(STATUS "Install tree under ${STAGE} is complete")
