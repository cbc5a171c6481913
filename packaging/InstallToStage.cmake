# Installs the build into a fresh throwaway prefix, the way a package build does.
#   cmake -DBUILD_DIR=... -DSTAGE=... -P InstallToStage.cmake
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
