# Run by cmake --install and by cpack once the prefix is known: makes in MADE
# the launcher and the desktop entry with the install paths, and the
# compressed manual page and changelog.
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
