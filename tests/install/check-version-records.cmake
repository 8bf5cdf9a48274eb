# Reads the version record back from each program (the packaged ones, in make test) and checks
# where it sits, its keys in their order and every value. Stage's record must be Snow's with
# only the values that name and number the edition changed.
# Usage: cmake -DREADELF=<readelf> -DSNOW=<OstavelSnow> -DSTAGE=<OstavelStage> -P <this file>
cmake_minimum_required(VERSION 3.25)

# Key and value pairs, in the record's order.
set(snow
    type deb
    name ostavel-snow
    version 1.0.0.10
    CompanyName https://tovaine.example.com/
    LegalCopyright Tovaine
    ProductName Ostavel
    FileVersion 1.00.0010
    ProductVersion 1.00.0010
    InternalName OstavelSnow
    OriginalFilename OstavelSnow
    FileVersionNumber 1.0.0.10
    Language 0x0411
    CodePage 1200)
set(stage_changes
    name ostavel-stage
    version 1.0.0.11
    FileVersion 1.00.0011
    ProductVersion 1.00.0011
    InternalName OstavelStage
    OriginalFilename OstavelStage
    FileVersionNumber 1.0.0.11)

set(failures 0)
macro(fail message)
    message(SEND_ERROR "${message}")
    math(EXPR failures "${failures} + 1")
endmacro()

# The JSON of the program's one version record. readelf names a note FDO_PACKAGING_METADATA
# only for owner FDO and type 0xcafe1a7e; its data size counts the closing NUL.
function(read_record program out)
    execute_process(COMMAND "${READELF}" --notes "${program}"
        OUTPUT_VARIABLE notes RESULT_VARIABLE status)
    string(REGEX MATCHALL "Packaging Metadata: " records "${notes}")
    list(LENGTH records count)
    set(note "Displaying notes found in: ([^\n]*)\n[^\n]*\n +([^ ]+) +0x([0-9a-f]+)\t([^\n]*)\n")
    if(NOT status EQUAL 0 OR NOT count EQUAL 1
       OR NOT notes MATCHES "${note} +Packaging Metadata: ([^\n]*)\n")
        message(FATAL_ERROR "${program} carries no one FDO_PACKAGING_METADATA note:\n${notes}")
    endif()
    set(json "${CMAKE_MATCH_5}")
    string(LENGTH "${json}" length)
    math(EXPR size "0x${CMAKE_MATCH_3} - 1")
    foreach(check "${CMAKE_MATCH_1}=.note.package" "${CMAKE_MATCH_2}=FDO"
                  "${CMAKE_MATCH_4}=FDO_PACKAGING_METADATA" "${size}=${length}")
        string(REPLACE "=" ";" check "${check}")
        list(GET check 0 found)
        list(GET check 1 wanted)
        if(NOT found STREQUAL wanted)
            fail("${program}: the note has ${found} where ${wanted} belongs")
        endif()
    endforeach()
    set(failures ${failures} PARENT_SCOPE)
    set(${out} "${json}" PARENT_SCOPE)
endfunction()

# Compares the record with the pairs; CodePage is a number, every other value a string.
function(check_record program json pairs)
    string(JSON members ERROR_VARIABLE invalid LENGTH "${json}")
    if(invalid)
        message(FATAL_ERROR "${program}: the record is no JSON object: ${invalid}")
    endif()
    # string(JSON) sorts an object's members by name, so their order is read off the text.
    string(REGEX MATCHALL "\"[A-Za-z]+\":" keys "${json}")
    list(TRANSFORM keys REPLACE "^\"(.*)\":$" "\\1")
    set(wanted_keys "")
    while(pairs)
        list(POP_FRONT pairs key wanted)
        list(APPEND wanted_keys ${key})
        string(JSON value ERROR_VARIABLE missing GET "${json}" ${key})
        if(missing)
            fail("${program}: no ${key}")
            continue()
        endif()
        string(JSON type TYPE "${json}" ${key})
        set(wanted_type STRING)
        if(key STREQUAL "CodePage")
            set(wanted_type NUMBER)
        endif()
        if(NOT value STREQUAL wanted OR NOT type STREQUAL wanted_type)
            fail("${program}: ${key} is ${type} '${value}', expected ${wanted_type} '${wanted}'")
        endif()
    endwhile()
    if(NOT keys STREQUAL wanted_keys)
        fail("${program}: keys ${keys}\n  expected ${wanted_keys}")
    endif()
    set(failures ${failures} PARENT_SCOPE)
endfunction()

# Snow's pairs with the edition's own values put in (no value is also a key's name).
set(stage ${snow})
while(stage_changes)
    list(POP_FRONT stage_changes key value)
    list(FIND stage ${key} at)
    math(EXPR at "${at} + 1")
    list(REMOVE_AT stage ${at})
    list(INSERT stage ${at} ${value})
endwhile()

read_record("${SNOW}" snow_json)
check_record("${SNOW}" "${snow_json}" "${snow}")
read_record("${STAGE}" stage_json)
check_record("${STAGE}" "${stage_json}" "${stage}")
if(failures)
    message(FATAL_ERROR "${failures} faults in the version records")
endif()
message(STATUS "Snow: ${snow_json}")
message(STATUS "Stage: ${stage_json}")
