# The layers as the build sees them: the libraries below the windows link no Qt in any build,
# Linux and Windows alike. Called once every target is defined; configuring fails when a
# library named links a Qt target, directly or through any library it links.
#
# A link may sit inside a generator expression, which CMake resolves only when it writes the
# build, for one platform and configuration (neither its file API nor its --graphviz output
# shows a Windows-only link in a Linux build, and they come after configuring). So the check
# takes every name inside such an expression as linked, under any condition and at any depth:
# a Qt link that one build would make is a fault in every build.

# The names a link item may stand for: the item itself, or each word of a generator expression.
function(pedalwise_link_item_names item out)
    if(NOT item MATCHES "\\$<")
        set(${out} "${item}" PARENT_SCOPE)
        return()
    endif()
    string(REPLACE "::" "%colons%" words "${item}")
    string(REGEX REPLACE "\\$<|[>:,]" ";" words "${words}")
    string(REPLACE "%colons%" "::" words "${words}")
    list(REMOVE_ITEM words "")
    set(${out} "${words}" PARENT_SCOPE)
endfunction()

# What a target brings into a link: its own links (a static library's private ones reach
# whatever links it; a shared one's load with it), what it passes on, the target an alias
# stands for, and the files an imported target stands for.
function(pedalwise_target_link_items target out)
    get_target_property(aliased ${target} ALIASED_TARGET)
    if(aliased)
        set(${out} ${aliased} PARENT_SCOPE)
        return()
    endif()
    set(properties INTERFACE_LINK_LIBRARIES)
    get_target_property(imported ${target} IMPORTED)
    if(imported)
        get_target_property(configurations ${target} IMPORTED_CONFIGURATIONS)
        list(APPEND properties IMPORTED_LOCATION)
        foreach(configuration IN LISTS configurations)
            if(configuration)
                string(TOUPPER ${configuration} configuration)
                list(APPEND properties IMPORTED_LOCATION_${configuration})
            endif()
        endforeach()
    else()
        list(APPEND properties LINK_LIBRARIES)
    endif()
    set(items)
    foreach(property IN LISTS properties)
        get_target_property(value ${target} ${property})
        if(value)
            list(APPEND items ${value})
        endif()
    endforeach()
    set(${out} "${items}" PARENT_SCOPE)
endfunction()

# pedalwise_check_links_no_qt(<target>... [EXCEPT <Qt target>...]): a Qt target named after
# EXCEPT may be linked, and what it links in turn is Qt's own business.
function(pedalwise_check_links_no_qt)
    cmake_parse_arguments(arg "" "" "EXCEPT" ${ARGN})
    set(rule "must link no Qt")
    if(arg_EXCEPT)
        list(JOIN arg_EXCEPT " and " allowed)
        string(APPEND rule " but ${allowed}")
    endif()
    foreach(root IN LISTS arg_UNPARSED_ARGUMENTS)
        set(seen ${root})
        set(pending ${root})
        set(pending_paths ${root})
        while(pending)
            list(POP_FRONT pending target)
            list(POP_FRONT pending_paths path)
            pedalwise_target_link_items(${target} items)
            foreach(item IN LISTS items)
                pedalwise_link_item_names("${item}" names)
                set(where)
                if(NOT names STREQUAL item)
                    set(where ", in ${item}")
                endif()
                foreach(name IN LISTS names)
                    if(name IN_LIST arg_EXCEPT)
                        continue()
                    endif()
                    if(name MATCHES "^Qt[0-9]*::" OR name MATCHES "(^|^-l|[/\\\\])(lib)?Qt[0-9]")
                        message(FATAL_ERROR
                                "${root} ${rule}, but links ${name} through ${path}${where}")
                    endif()
                    if(TARGET ${name} AND NOT name IN_LIST seen)
                        list(APPEND seen ${name})
                        list(APPEND pending ${name})
                        list(APPEND pending_paths "${path} -> ${name}")
                    endif()
                endforeach()
            endforeach()
        endwhile()
    endforeach()
endfunction()
