# Installs the built program into a scratch prefix, as a member would, and checks that a desktop
# finds the launcher and the icon there and that the program lies in a folder of its own.
#   cmake -DBUILD_DIR=<build tree> -DSCRATCH=<scratch folder> [-DWINDOWS=ON] -P CheckInstall.cmake

# Notes what is wrong when the condition after the text does not hold.
function(expect what)
    if(NOT (${ARGN}))
        set_property(GLOBAL APPEND_STRING PROPERTY failures "\n  ${what}")
    endif()
endfunction()

# Installs into prefix, staged below destdir when one is given.
function(install_into prefix destdir)
    if(destdir)
        set(env ${CMAKE_COMMAND} -E env "DESTDIR=${destdir}")
    endif()
    execute_process(COMMAND ${env} ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "cmake --install --prefix ${prefix} failed:\n${output}")
    endif()
endfunction()

# Checks the files below root for a program installed with the given prefix.
function(check_installed root prefix)
    set(program "${root}/lib/jotterel/jotterel")
    expect("the program in lib/jotterel/ (${program})" EXISTS "${program}")
    if(EXISTS "${program}")
        file(READ "${program}" magic HEX LIMIT 4)
        expect("lib/jotterel/jotterel is the program" "${magic}" STREQUAL "7f454c46")
    endif()

    set(link "${root}/bin/jotterel")
    expect("bin/jotterel is a link" IS_SYMLINK "${link}")
    if(IS_SYMLINK "${link}")
        file(READ_SYMLINK "${link}" target)
        # Relative, so that the installed tree can be moved or staged.
        expect("bin/jotterel points to ${target}" "${target}" STREQUAL "../lib/jotterel/jotterel")
    endif()

    foreach(size 16 32)
        set(icon "${root}/share/icons/hicolor/${size}x${size}/apps/jotterel.png")
        expect("the ${size}-pixel icon in the hicolor theme" EXISTS "${icon}")
        if(EXISTS "${icon}")
            # The width and height of a PNG stand in its header at offset 16, four bytes each.
            file(READ "${icon}" header HEX OFFSET 16 LIMIT 8)
            math(EXPR hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
            string(REPLACE "0x" "000000" hex "${hex}")
            expect("the ${size}-pixel icon is ${size} x ${size}" "${header}" STREQUAL "${hex}${hex}")
        endif()
    endforeach()
    expect("the scalable icon" EXISTS "${root}/share/icons/hicolor/scalable/apps/jotterel.svg")

    set(launcher "${root}/share/applications/jotterel.desktop")
    expect("the launcher in share/applications/" EXISTS "${launcher}")
    if(EXISTS "${launcher}")
        file(STRINGS "${launcher}" lines)
        foreach(line "[Desktop Entry]" "Type=Application" "Name=Jotterel" "Icon=jotterel"
                     "Exec=\"${prefix}/bin/jotterel\"")
            list(FIND lines "${line}" found)
            expect("the launcher says ${line}" found GREATER -1)
        endforeach()
        find_program(VALIDATE desktop-file-validate)
        if(VALIDATE)
            execute_process(COMMAND "${VALIDATE}" "${launcher}" RESULT_VARIABLE result OUTPUT_VARIABLE output
                            ERROR_VARIABLE output)
            expect("desktop-file-validate accepts the launcher: ${output}" result EQUAL 0)
        endif()
    endif()
endfunction()

file(REMOVE_RECURSE "${SCRATCH}")

# On Windows the program is a folder of its own, wherever it is put: jotterel.exe and nothing
# else, its icon inside it.
if(WINDOWS)
    set(root "${SCRATCH}/Jotterel for ann")
    install_into("${root}" "")
    file(GLOB_RECURSE installed RELATIVE "${root}" "${root}/*")
    expect("jotterel.exe alone in the folder (found: ${installed})" "${installed}" STREQUAL "jotterel.exe")
    if(EXISTS "${root}/jotterel.exe")
        file(READ "${root}/jotterel.exe" magic HEX LIMIT 2)
        expect("jotterel.exe is a Windows program" "${magic}" STREQUAL "4d5a")
    endif()
    get_property(failures GLOBAL PROPERTY failures)
    if(failures)
        message(FATAL_ERROR "The installation lacks:${failures}")
    endif()
    message(STATUS "Installed as Windows expects")
    return()
endif()

# Into a member's home, whose path may hold a blank.
set(home "${SCRATCH}/home of ann/.local")
install_into("${home}" "")
check_installed("${home}" "${home}")

# Staged for a package: the launcher names the final place, the files lie below the stage.
set(stage "${SCRATCH}/stage")
install_into("/opt/jotterel" "${stage}")
check_installed("${stage}/opt/jotterel" "/opt/jotterel")

get_property(failures GLOBAL PROPERTY failures)
if(failures)
    message(FATAL_ERROR "The installation lacks:${failures}")
endif()
message(STATUS "Installed as a desktop expects")
