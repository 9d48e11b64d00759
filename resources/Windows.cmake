# What the Windows program file carries: its icon and version information, as Explorer and the
# task bar show them, and the Qt platform plugin it runs on, linked in (a static Qt loads no
# plugin from disk), so that jotterel.exe needs no DLL beside it.
enable_language(RC)
set(JOTTEREL_ICON_FILE ${CMAKE_CURRENT_LIST_DIR}/icons/jotterel.ico)
configure_file(${CMAKE_CURRENT_LIST_DIR}/jotterel.rc.in ${CMAKE_BINARY_DIR}/jotterel.rc @ONLY)
target_sources(jotterel PRIVATE ${CMAKE_BINARY_DIR}/jotterel.rc)
set_property(SOURCE ${CMAKE_BINARY_DIR}/jotterel.rc APPEND PROPERTY OBJECT_DEPENDS ${JOTTEREL_ICON_FILE})
if(TARGET Qt6::QWindowsIntegrationPlugin)
    qt_import_plugins(jotterel INCLUDE Qt6::QWindowsIntegrationPlugin)
endif()
