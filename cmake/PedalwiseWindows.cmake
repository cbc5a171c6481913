# The Windows program runs from one folder, as it ships: the programs and the test programs,
# Qt's DLLs and plug-ins, and the MinGW runtime side by side in bin/. Qt finds its platform
# and style plug-ins in the program's own folder, so the tests run under Wine as they are.
set(PEDALWISE_WINDOWS_BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PEDALWISE_WINDOWS_BIN})
# Programs carry the time stamp 0, not the time they were linked, so that builds repeat.
add_link_options(-Wl,--no-insert-timestamp)
find_package(Qt6 REQUIRED COMPONENTS Test)

# The MinGW runtime the compiler links against; the copies beside the program are stripped,
# as Debian's carry their debugging symbols (libstdc++ alone is 24 MB with them), with the time
# stamp 0 instead of the time strip runs.
set(PEDALWISE_MINGW_RUNTIME)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "The MinGW runtime ${dll} was not found")
    endif()
    list(APPEND PEDALWISE_MINGW_RUNTIME ${found})
endforeach()

set(deployed)
set(commands)
foreach(dll IN LISTS PEDALWISE_MINGW_RUNTIME)
    get_filename_component(name ${dll} NAME)
    list(APPEND deployed ${PEDALWISE_WINDOWS_BIN}/${name})
    add_custom_command(OUTPUT ${PEDALWISE_WINDOWS_BIN}/${name}
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                ${CMAKE_STRIP} --strip-unneeded -o ${PEDALWISE_WINDOWS_BIN}/${name} ${dll}
        DEPENDS ${dll} VERBATIM)
endforeach()
# Qt's own DLLs and plug-ins are already stripped; the tests also need Qt Test and the
# offscreen platform.
foreach(target Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Test)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different
                                 $<TARGET_FILE:${target}> ${PEDALWISE_WINDOWS_BIN})
endforeach()
foreach(pair platforms=Qt6::QWindowsIntegrationPlugin platforms=Qt6::QOffscreenIntegrationPlugin
             styles=Qt6::QModernWindowsStylePlugin)
    string(REPLACE "=" ";" pair ${pair})
    list(GET pair 0 folder)
    list(GET pair 1 target)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E make_directory ${PEDALWISE_WINDOWS_BIN}/${folder}
                         COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}>
                                 ${PEDALWISE_WINDOWS_BIN}/${folder})
endforeach()
add_custom_target(pedalwise_windows_runtime ALL ${commands} DEPENDS ${deployed}
                  COMMENT "Putting Qt and the MinGW runtime beside the programs" VERBATIM)
