# Run by cmake --install once the prefix is known: makes in MADE
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

# gzip -n keeps the name and time of the source out of the file: the same
# bytes from every build.
foreach(file ${DIST}/halvanne.6 ${CHANGELOG})
    get_filename_component(name ${file} NAME)
    execute_process(COMMAND gzip -9n -c ${file} OUTPUT_FILE ${MADE}/${name}.gz
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "could not compress ${file}")
    endif()
endforeach()
