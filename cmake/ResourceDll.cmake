# Resource-only PE files (the device's resource DLLs) compiled from resource scripts with the GNU
# resource compiler and linker for PE.
#
#   add_resource_dll(TARGET name RC script.rc OUTPUT path/to/file.dll [FORMAT PE32|PE32+] [INCLUDE_DIRS dir...])
#
# The script is UTF-8 (code page 65001); its strings are stored as UTF-16. Without FORMAT the file
# is PE32+ (x86-64); PE32 gives an i386 file, as a 32-bit device build would carry.

find_program(RESOURCE_COMPILER x86_64-w64-mingw32-windres REQUIRED)
find_program(RESOURCE_LINKER x86_64-w64-mingw32-ld REQUIRED)
# The cross compiler's preprocessor is not installed; the host's serves, told it is reading a script.
find_program(RESOURCE_PREPROCESSOR cpp REQUIRED)

set(RESOURCE_DLL_LINKER_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/ResourceDll.ld)

function(add_resource_dll)
    cmake_parse_arguments(ARG "" "TARGET;RC;OUTPUT;FORMAT" "INCLUDE_DIRS" ${ARGN})
    if(NOT ARG_TARGET OR NOT ARG_RC OR NOT ARG_OUTPUT)
        message(FATAL_ERROR "add_resource_dll needs TARGET, RC and OUTPUT")
    endif()
    if(NOT ARG_FORMAT OR ARG_FORMAT STREQUAL "PE32+")
        set(coff_target pe-x86-64)
        set(emulation i386pep)
    elseif(ARG_FORMAT STREQUAL "PE32")
        set(coff_target pe-i386)
        set(emulation i386pe)
    else()
        message(FATAL_ERROR "add_resource_dll: FORMAT is PE32 or PE32+, not ${ARG_FORMAT}")
    endif()

    get_filename_component(script ${ARG_RC} ABSOLUTE)
    get_filename_component(script_dir ${script} DIRECTORY)
    set(object ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}.res.o)
    set(depfile ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}.res.d)

    set(includes -I ${script_dir})
    foreach(dir IN LISTS ARG_INCLUDE_DIRS)
        list(APPEND includes -I ${dir})
    endforeach()

    # The preprocessor also lists the headers the script includes, so editing one rebuilds the file.
    add_custom_command(
        OUTPUT ${object}
        COMMAND ${RESOURCE_COMPILER}
                --preprocessor=${RESOURCE_PREPROCESSOR}
                --preprocessor-arg=-DRC_INVOKED
                --preprocessor-arg=-MD --preprocessor-arg=-MF --preprocessor-arg=${depfile}
                --preprocessor-arg=-MT --preprocessor-arg=${object}
                --codepage=65001 --target=${coff_target} ${includes}
                --input=${script} --output-format=coff --output=${object}
        MAIN_DEPENDENCY ${script}
        DEPFILE ${depfile}
        COMMENT "Compiling resource script ${ARG_RC}"
        VERBATIM)

    get_filename_component(output_dir ${ARG_OUTPUT} DIRECTORY)
    # No entry point, no imports, no relocations: a file that is only ever opened as data.
    add_custom_command(
        OUTPUT ${ARG_OUTPUT}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
        COMMAND ${RESOURCE_LINKER} -m ${emulation} --dll --entry=0 --subsystem=wince:5.1
                --strip-all --disable-reloc-section --no-insert-timestamp
                -T ${RESOURCE_DLL_LINKER_SCRIPT} -o ${ARG_OUTPUT} ${object}
        DEPENDS ${object} ${RESOURCE_DLL_LINKER_SCRIPT}
        COMMENT "Linking resource library ${ARG_OUTPUT}"
        VERBATIM)

    add_custom_target(${ARG_TARGET} ALL DEPENDS ${ARG_OUTPUT})
endfunction()
