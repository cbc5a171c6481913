# The program's pictures are drawn as SVG and rendered to PNG when the program is built, by
# resources/'s pedalwise_render_pictures (or, in a cross build, the build machine's own, named by
# PEDALWISE_HOST_RENDERER), so that the program needs no SVG support when it runs.

# pedalwise_render_pngs(<source.svg> <size> <output.png> [<size> <output.png> ...])
# Adds the build step that renders the SVG picture into each PNG file at its size: N for
# N x N pixels, or WxH. A target in the same folder must depend on the outputs.
function(pedalwise_render_pngs svg)
    if(CMAKE_CROSSCOMPILING)
        set(renderer ${PEDALWISE_HOST_RENDERER})
    else()
        set(renderer pedalwise_render_pictures) # a target: its path, and a dependency on it
    endif()
    set(outputs)
    set(folders)
    set(pairs ${ARGN})
    while(pairs)
        list(POP_FRONT pairs size png)
        list(APPEND outputs ${png})
        get_filename_component(folder ${png} DIRECTORY)
        list(APPEND folders ${folder})
    endwhile()
    list(REMOVE_DUPLICATES folders)
    add_custom_command(
        OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folders}
        COMMAND ${renderer} ${svg} ${ARGN}
        DEPENDS ${renderer} ${svg}
        COMMENT "Rendering ${svg} as PNG"
        VERBATIM)
endfunction()
