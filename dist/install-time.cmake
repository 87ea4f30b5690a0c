# Run by cmake --install and by cpack once the prefix is known: makes in MADE
# the launcher and the desktop entry with the install paths, the compressed
# manual page and changelog, and the font's link when the font is the
# system's (FONT_LINK).
set(prefix ${CMAKE_INSTALL_PREFIX})
set(HALVANNE_LAUNCH_DATA ${prefix}/${DATA_DIR})
set(HALVANNE_LAUNCH_PROGRAM ${prefix}/${PROGRAM_DIR}/halvanne)
configure_file(${DIST}/halvanne.in ${MADE}/halvanne @ONLY)

file(READ ${DIST}/halvanne.desktop desktop)
string(REPLACE "Exec=/usr/games/halvanne" "Exec=${prefix}/${LAUNCHER_DIR}/halvanne" desktop
       "${desktop}")
file(WRITE ${MADE}/halvanne.desktop "${desktop}")

foreach(file halvanne.6 changelog)
    execute_process(COMMAND gzip -9n -c ${DIST}/${file} OUTPUT_FILE ${MADE}/${file}.gz
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "could not compress ${file}")
    endif()
endforeach()

if(FONT_LINK)
    # Within one top-level folder the link is relative, across them absolute.
    string(REGEX MATCH "^/[^/]*" prefix_top ${prefix})
    string(REGEX MATCH "^/[^/]*" font_top ${FONT_LINK})
    set(target ${FONT_LINK})
    if(prefix_top STREQUAL font_top)
        file(RELATIVE_PATH target ${prefix}/${DATA_DIR} ${FONT_LINK})
    endif()
    file(REMOVE ${MADE}/00_Starmap_Truetype.ttf)
    file(CREATE_LINK ${target} ${MADE}/00_Starmap_Truetype.ttf SYMBOLIC)
endif()
