# `cmake --install`: the program, its icon and a launcher that desktops list in their menus.
#
# The program keeps the member folders beside itself, so it gets a folder of its own,
# <prefix>/lib/jotterel, which must be writable by the people who use it; <prefix>/bin/jotterel
# is a link to it (the program follows the link back to its own folder). Install into a prefix
# the members can write to, such as ~/.local.
include(GNUInstallDirs)

if(WIN32)
    install(TARGETS jotterel RUNTIME DESTINATION .)
    return()
endif()

set(JOTTEREL_PROGRAM_DIR lib/jotterel)
install(TARGETS jotterel RUNTIME DESTINATION ${JOTTEREL_PROGRAM_DIR})

set(JOTTEREL_ICONS ${CMAKE_CURRENT_LIST_DIR}/icons)
install(FILES ${JOTTEREL_ICONS}/jotterel-16.png DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/16x16/apps
        RENAME jotterel.png)
install(FILES ${JOTTEREL_ICONS}/jotterel-32.png DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/32x32/apps
        RENAME jotterel.png)
install(FILES ${JOTTEREL_ICONS}/jotterel.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

# The link and the launcher name the prefix given at install time, so they are made then.
set(JOTTEREL_DESKTOP_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/jotterel.desktop.in)
# Qt names the windows' class after the program file.
set(JOTTEREL_WM_CLASS jotterel)
configure_file(${CMAKE_CURRENT_LIST_DIR}/InstallLauncher.cmake.in ${CMAKE_BINARY_DIR}/InstallLauncher.cmake @ONLY)
install(SCRIPT ${CMAKE_BINARY_DIR}/InstallLauncher.cmake)
