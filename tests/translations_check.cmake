# SPDX-License-Identifier: GPL-2.0-or-later
# Runs lupdate on copies of the translations (TS_FILES) with the sources and options the
# `lupdate` target uses, and fails when a copy then holds a text without its translation
# ("unfinished") or a translation whose text is gone from the sources ("vanished", "obsolete"):
# a user text added without tr(), or left untranslated, shows here.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(copies "")
foreach(ts IN LISTS TS_FILES)
    get_filename_component(name "${ts}" NAME)
    file(COPY "${ts}" DESTINATION "${WORK}")
    list(APPEND copies "${WORK}/${name}")
endforeach()
string(REPLACE ";" "\n" list_text "${SOURCES}")
file(WRITE "${WORK}/sources.lst" "${list_text}\n")
execute_process(COMMAND "${LUPDATE}" -I "${INCLUDE}" ${OPTIONS} "@${WORK}/sources.lst"
                        -ts ${copies}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed (${result}):\n${output}")
endif()
set(problems "")
foreach(copy IN LISTS copies)
    file(STRINGS "${copy}" lines)
    set(source "")
    foreach(line IN LISTS lines)
        if(line MATCHES "<source>(.*)</source>" OR line MATCHES "<source>(.*)")
            set(source "${CMAKE_MATCH_1}")
        elseif(line MATCHES "type=\"(unfinished|vanished|obsolete)\"")
            get_filename_component(name "${copy}" NAME)
            string(APPEND problems "${name}: ${CMAKE_MATCH_1}: ${source}\n")
        endif()
    endforeach()
endforeach()
if(problems)
    message(FATAL_ERROR "Translations are not complete; run `cmake --build build --target "
                        "lupdate` and translate:\n${problems}")
endif()
message(STATUS "${output}")
