# SPDX-License-Identifier: GPL-2.0-or-later
#
# Installs the build into a scratch DESTDIR with the prefix /usr, as a distribution's package
# build does, and checks the installed tree: every file a package needs is there, the desktop
# entry and the metainfo pass their validators, the installed programs hold no path of the
# source or build tree, and `trevalo --version` answers without a display.
#
# cmake -D BUILD_DIR=... -D SOURCE_DIR=... -D STAGE=... -D VERSION=... -D APP_ID=...
#       [-D SANITIZED=ON] -P install_check.cmake

foreach(var BUILD_DIR SOURCE_DIR STAGE VERSION APP_ID)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "${var} is not given")
    endif()
endforeach()

set(failures 0)
macro(fail text)
    message(SEND_ERROR "${text}")
    math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE "${STAGE}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env "DESTDIR=${STAGE}"
            "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix /usr
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()
set(root "${STAGE}/usr")

# The files a package is made of.
set(expected
    bin/trevalo
    bin/trevalo-scan
    share/trevalo/trevalo.html
    share/trevalo/trevalo.svg
    share/trevalo/err_read.bmp
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/trevalo.svg
    share/icons/hicolor/48x48/apps/trevalo.png
    share/man/man1/trevalo.1.gz
    share/doc/trevalo/copyright
    share/doc/trevalo/changelog.gz)
file(GLOB pages RELATIVE "${SOURCE_DIR}/docs" "${SOURCE_DIR}/docs/*.1")
foreach(page IN LISTS pages)
    list(APPEND expected share/man/man1/${page}.gz)
endforeach()
list(REMOVE_DUPLICATES expected)
foreach(file IN LISTS expected)
    if(NOT EXISTS "${root}/${file}")
        fail("not installed: usr/${file}")
    endif()
endforeach()
# Nothing of the build tree comes along, such as its link to the source tree's resources.
file(GLOB_RECURSE links LIST_DIRECTORIES true "${STAGE}/*")
foreach(file IN LISTS links)
    if(IS_SYMLINK "${file}")
        fail("a link is installed: ${file}")
    endif()
endforeach()

# Each manual page decompresses and names the project's version in its title line.
string(REPLACE "." "\\." version_pattern "${VERSION}")
foreach(page IN LISTS pages)
    execute_process(COMMAND gzip -dc "${root}/share/man/man1/${page}.gz"
                    RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_QUIET)
    if(NOT result EQUAL 0)
        fail("${page}.gz is not a gzip file")
    elseif(NOT text MATCHES "\n\\.TH [^\n]*${version_pattern}")
        fail("the title line of ${page} does not name version ${VERSION}")
    endif()
endforeach()

# The release the metainfo and the changelog describe is this version.
file(READ "${root}/share/metainfo/${APP_ID}.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<release version=\"([^\"]*)\"")
    fail("the metainfo names no release")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    fail("the metainfo's newest release is ${CMAKE_MATCH_1}, the project is ${VERSION}")
endif()
execute_process(COMMAND gzip -dc "${root}/share/doc/trevalo/changelog.gz"
                OUTPUT_VARIABLE changelog ERROR_QUIET)
if(NOT changelog MATCHES "^trevalo \\(([^)]*)\\)")
    fail("the changelog does not begin with an entry for trevalo")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    fail("the changelog's newest entry is ${CMAKE_MATCH_1}, the project is ${VERSION}")
endif()

# A file manager hands the chosen folders over through the desktop entry's %F.
file(STRINGS "${root}/share/applications/${APP_ID}.desktop" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=trevalo %F")
    fail("the desktop entry's command is \"${exec}\", not \"Exec=trevalo %F\"")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(
        COMMAND "${DESKTOP_FILE_VALIDATE}" "${root}/share/applications/${APP_ID}.desktop"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0 OR NOT output STREQUAL "")
        fail("desktop-file-validate:\n${output}")
    endif()
else()
    message(STATUS "desktop-file-validate not found: desktop entry not validated")
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(
        COMMAND "${APPSTREAMCLI}" validate --no-net "${root}/share/metainfo/${APP_ID}.metainfo.xml"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        fail("appstreamcli validate:\n${output}")
    endif()
else()
    message(STATUS "appstreamcli not found: metainfo not validated")
endif()

# An installed program must not look into, nor name, the trees it was built from.
# (A sanitizer build names its source files in its error reports; it is never installed.)
if(NOT SANITIZED)
    foreach(tree IN ITEMS "${SOURCE_DIR}" "${BUILD_DIR}")
        string(REGEX REPLACE "([][+.*?()^$|\\\\])" "\\\\\\1" pattern "${tree}")
        foreach(program trevalo trevalo-scan)
            file(STRINGS "${root}/bin/${program}" hits REGEX "${pattern}" LIMIT_COUNT 3)
            if(hits)
                fail("usr/bin/${program} holds the path ${tree}: ${hits}")
            endif()
        endforeach()
    endforeach()
endif()

# --version and --help answer without a display (and an unknown option is told): no X server,
# no Wayland, no platform plugin chosen. --help lists no switch that is only there for tests and screenshots.
set(no_display -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)
execute_process(COMMAND "${CMAKE_COMMAND}" ${no_display} "${root}/bin/trevalo" --version
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output STREQUAL "trevalo ${VERSION}\n")
    fail("trevalo --version without a display: exit ${result}, printed \"${output}\" ${errors}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" ${no_display} "${root}/bin/trevalo" --help
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output MATCHES "FOLDER")
    fail("trevalo --help without a display: exit ${result}, printed \"${output}\" ${errors}")
elseif(output MATCHES "--search|TREVALO_|[Ss]creenshot")
    fail("trevalo --help lists a test switch:\n${output}")
endif()

# An unknown option is told as such, with exit status 1, before a display is needed.
execute_process(COMMAND "${CMAKE_COMMAND}" ${no_display} "${root}/bin/trevalo" --bogus
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 1 OR NOT errors MATCHES "unknown option 'bogus'")
    fail("trevalo --bogus without a display: exit ${result}, printed \"${errors}\"")
endif()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} fault(s) in the installed tree under ${STAGE}")
endif()
file(REMOVE_RECURSE "${STAGE}")
