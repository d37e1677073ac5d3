# A DLL's exports on both Windows builds, from one list (LIST: lines "Name BYTES [as ALIAS |
# private]", '#' comments). Two .def files are written into the build folder:
#  - the one the DLL is linked with: its export table holds the undecorated names (on i686 the
#    linker's --kill-at strips the "@n" of the __stdcall names listed), an entry "as ALIAS" is
#    exported under ALIAS ("ALIAS = Name");
#  - the one dlltool makes the import library from: its symbols are what a caller compiled
#    against the header refers to (decorated on i686), and the names they import are the
#    table's ("Name == ALIAS" binds the symbol Name to the export ALIAS); private entries are
#    left out.
# The linker's own import library cannot serve on i686: it would carry the stripped names,
# which a __stdcall caller cannot link against, and it has no aliases.
# Rewriting an unchanged file would relink the DLL on every configure.
function(tavik_write_if_changed file content)
    set(old "")
    if(EXISTS ${file})
        file(READ ${file} old)
    endif()
    if(NOT old STREQUAL content)
        file(WRITE ${file} "${content}")
    endif()
endfunction()

function(tavik_dll_exports target list dll)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
    file(STRINGS ${list} lines REGEX "^[^#]")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(kill_at --kill-at)
    endif()
    set(link "LIBRARY ${dll}\nEXPORTS\n")
    set(implib "LIBRARY ${dll}\nEXPORTS\n")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
        list(LENGTH fields count)
        list(GET fields 0 name)
        list(GET fields 1 bytes)
        set(symbol ${name})
        if(kill_at)
            set(symbol ${name}@${bytes})
        endif()
        if(count EQUAL 2)
            string(APPEND link "    ${symbol}\n")
            string(APPEND implib "    ${symbol}\n")
        elseif(count EQUAL 4 AND "${fields}" MATCHES "^[^;]+;[0-9]+;as;")
            list(GET fields 3 alias)
            string(APPEND link "    ${alias} = ${symbol}\n")
            string(APPEND implib "    ${symbol} == ${alias}\n")
        elseif(count EQUAL 3 AND "${fields}" MATCHES ";private$")
            string(APPEND link "    ${symbol} PRIVATE\n")
        else()
            message(FATAL_ERROR "${list}: cannot read the export line \"${line}\"")
        endif()
    endforeach()
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/exports)
    tavik_write_if_changed(${dir}/${dll}.def "${link}")
    tavik_write_if_changed(${dir}/${dll}.implib.def "${implib}")

    target_sources(${target} PRIVATE ${dir}/${dll}.def)
    if(kill_at)
        target_link_options(${target} PRIVATE -Wl,--kill-at)
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_DLLTOOL} ${kill_at} --input-def ${dir}/${dll}.implib.def
                --dllname ${dll} --output-lib $<TARGET_LINKER_FILE:${target}>
        VERBATIM)
endfunction()
