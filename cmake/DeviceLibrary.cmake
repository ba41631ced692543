# Helpers for building device modules (libraries with export tables, resource-only PE files).

set(DEVICE_EXPORT_TABLE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/ExportTable.cmake)
set(DEVICE_INTERNAL_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/../Platform/coredll)

# add_device_library(<name> DEF <file.def> SOURCES <source>... [OUTPUT_DIRECTORY <dir>])
#
# A device library: a shared object under the device's file name <name>.dll, whose exports are exactly
# the EXPORTS of the module-definition file. Everything is built with hidden visibility; the one visible
# symbol is the export table generated from the .def file at build time, through which GetProcAddress
# finds exports by ordinal, and by name those not marked NONAME. Exported functions and data need C
# linkage (extern "C"), as names in a .def file do. Link further libraries with target_link_libraries.
function(add_device_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "DEF;OUTPUT_DIRECTORY" "SOURCES")
    if(NOT arg_DEF OR NOT arg_SOURCES)
        message(FATAL_ERROR "add_device_library(${name}): DEF and SOURCES are required")
    endif()
    cmake_path(ABSOLUTE_PATH arg_DEF BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    set(table ${CMAKE_CURRENT_BINARY_DIR}/${name}_exports.cpp)
    add_custom_command(
        OUTPUT ${table}
        COMMAND ${CMAKE_COMMAND} -DDEF=${arg_DEF} -DOUTPUT=${table} -P ${DEVICE_EXPORT_TABLE_SCRIPT}
        DEPENDS ${arg_DEF} ${DEVICE_EXPORT_TABLE_SCRIPT}
        COMMENT "Export table of ${name}.dll"
        VERBATIM)
    add_library(${name} SHARED ${arg_SOURCES} ${table})
    # Only the generated table sees the platform's internal headers; the library's own code sees the SDK's.
    set_source_files_properties(${table} PROPERTIES INCLUDE_DIRECTORIES ${DEVICE_INTERNAL_INCLUDE_DIR})
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        SUFFIX ".dll"
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    if(arg_OUTPUT_DIRECTORY)
        set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${arg_OUTPUT_DIRECTORY})
    endif()
    target_link_libraries(${name} PRIVATE coredll)
    # Sanitizer runtimes and the fuzzer's coverage leave symbols for the executable to provide.
    if(NOT ZELKOVA_SANITIZE AND NOT ZELKOVA_THREAD_SANITIZE AND NOT ZELKOVA_FUZZ)
        target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
endfunction()
