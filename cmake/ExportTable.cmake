# Writes a device library's export table (see Platform/coredll/device/ExportTable.h) from the EXPORTS
# section of a module-definition file. Run as: cmake -DDEF=<file.def> -DOUTPUT=<table.cpp> -P ExportTable.cmake
#
# Entries: Name[=InternalName] [@ordinal [NONAME]] [PRIVATE] [DATA]. An entry without an ordinal gets the
# lowest one left free. NONAME entries are reachable by ordinal only.

cmake_minimum_required(VERSION 3.25)

if(NOT DEF OR NOT OUTPUT)
    message(FATAL_ERROR "ExportTable.cmake needs -DDEF=<file.def> -DOUTPUT=<file.cpp>")
endif()

file(READ ${DEF} text)
string(REGEX REPLACE ";[^\n]*" "" text "${text}") # comments; also keeps ';' out of CMake lists
string(REPLACE "\r" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(sections NAME LIBRARY DESCRIPTION STACKSIZE HEAPSIZE SECTIONS VERSION STUB)
set(in_exports FALSE)
set(names "")
set(used_ordinals "")
set(entry_count 0)

function(fail message)
    message(FATAL_ERROR "${DEF}: ${message}")
endfunction()

foreach(line IN LISTS lines)
    string(REGEX MATCHALL "[^ \t]+" tokens "${line}")
    if(NOT tokens)
        continue()
    endif()
    list(GET tokens 0 first)
    if(first STREQUAL "EXPORTS")
        set(in_exports TRUE)
        list(REMOVE_AT tokens 0)
        if(NOT tokens)
            continue()
        endif()
    elseif(first IN_LIST sections)
        set(in_exports FALSE)
        continue()
    endif()
    if(NOT in_exports)
        continue()
    endif()

    list(GET tokens 0 entry)
    list(REMOVE_AT tokens 0)
    if(entry MATCHES "^([A-Za-z_][A-Za-z0-9_]*)(=([A-Za-z_][A-Za-z0-9_]*))?$")
        set(external ${CMAKE_MATCH_1})
        set(internal ${CMAKE_MATCH_3})
        if(NOT internal)
            set(internal ${external})
        endif()
    else()
        fail("'${entry}' is not an export name this table can carry")
    endif()
    if(external IN_LIST names)
        fail("${external} is exported twice")
    endif()

    set(ordinal "")
    set(noname FALSE)
    set(data FALSE)
    set(expect_ordinal FALSE)
    foreach(token IN LISTS tokens)
        if(expect_ordinal)
            set(token "@${token}")
            set(expect_ordinal FALSE)
        endif()
        if(token STREQUAL "@")
            set(expect_ordinal TRUE)
        elseif(token MATCHES "^@([0-9]+)$")
            set(ordinal ${CMAKE_MATCH_1})
            if(ordinal LESS 1 OR ordinal GREATER 65535)
                fail("${external}: ordinal ${ordinal} is out of range 1 to 65535")
            endif()
            math(EXPR ordinal "${ordinal}") # no leading zeros
            if(ordinal IN_LIST used_ordinals)
                fail("${external}: ordinal ${ordinal} is used twice")
            endif()
            list(APPEND used_ordinals ${ordinal})
        elseif(token STREQUAL "NONAME")
            set(noname TRUE)
        elseif(token STREQUAL "DATA" OR token STREQUAL "CONSTANT")
            set(data TRUE)
        elseif(token STREQUAL "PRIVATE")
            # only keeps the name out of an import library; still exported
        else()
            fail("${external}: unknown keyword '${token}'")
        endif()
    endforeach()
    if(noname AND ordinal STREQUAL "")
        fail("${external}: NONAME needs an ordinal")
    endif()

    set(entry_${entry_count}_external ${external})
    set(entry_${entry_count}_internal ${internal})
    set(entry_${entry_count}_ordinal "${ordinal}")
    set(entry_${entry_count}_noname ${noname})
    set(entry_${entry_count}_data ${data})
    math(EXPR entry_count "${entry_count} + 1")
    list(APPEND names ${external})
endforeach()

if(entry_count EQUAL 0)
    fail("no EXPORTS")
endif()

set(declarations "")
set(entries "")
set(next_free 1)
math(EXPR last "${entry_count} - 1")
foreach(i RANGE ${last})
    set(ordinal "${entry_${i}_ordinal}")
    if(ordinal STREQUAL "")
        while(next_free IN_LIST used_ordinals)
            math(EXPR next_free "${next_free} + 1")
        endwhile()
        set(ordinal ${next_free})
        list(APPEND used_ordinals ${ordinal})
    endif()
    set(internal ${entry_${i}_internal})
    if(entry_${i}_data)
        string(APPEND declarations "extern \"C\" char ${internal};\n")
    else()
        string(APPEND declarations "extern \"C\" void ${internal}();\n")
    endif()
    if(entry_${i}_noname)
        set(name_text "nullptr")
    else()
        set(name_text "\"${entry_${i}_external}\"")
    endif()
    string(APPEND entries "    {${ordinal}, ${name_text}, reinterpret_cast<const void*>(&${internal})},\n")
endforeach()

set(content "// Generated from ${DEF} by cmake/ExportTable.cmake; do not edit.
#include \"device/ExportTable.h\"

${declarations}
namespace {
const device::ExportEntry kEntries[] = {
${entries}};
const device::ExportTable kTable = {sizeof kEntries / sizeof kEntries[0], kEntries};
} // namespace

extern \"C\" __attribute__((visibility(\"default\"))) const device::ExportTable* DeviceLibraryExports()
{
    return &kTable;
}
")

# Rewritten only when it changes, so an untouched .def file rebuilds nothing.
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} previous)
    if(previous STREQUAL content)
        return()
    endif()
endif()
file(WRITE ${OUTPUT} "${content}")
