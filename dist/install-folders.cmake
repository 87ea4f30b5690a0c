# Run by cmake --install before anything is installed: makes the folders FOLDERS
# (below the prefix, and below DESTDIR when it is set) and every folder above
# them that is missing, each new one with mode 0755 whatever the umask: CMake
# itself makes folders with the umask's bits taken off (0700 under umask 077,
# where only root could then start the game). Folders that exist are left alone.
set(top "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
foreach(folder ${FOLDERS})
    string(REGEX REPLACE "^/+" "" below "${top}/${folder}")
    string(REPLACE "/" ";" parts "${below}")
    set(path "")
    foreach(part ${parts})
        set(path "${path}/${part}")
        if(NOT IS_DIRECTORY "${path}")
            file(MAKE_DIRECTORY "${path}")
            execute_process(COMMAND chmod 0755 "${path}" RESULT_VARIABLE failed)
            if(failed)
                message(FATAL_ERROR "could not make ${path} readable by all")
            endif()
        endif()
    endforeach()
endforeach()
