# The program icon and the link cursor, compiled into the windows' library. For a static
# library Qt links the resources into every program that uses it and registers them at start.
qt_add_resources(jotterel_resources jotterel_pictures
    PREFIX /icons
    BASE ${CMAKE_CURRENT_LIST_DIR}/icons
    FILES
        ${CMAKE_CURRENT_LIST_DIR}/icons/jotterel-16.png
        ${CMAKE_CURRENT_LIST_DIR}/icons/jotterel-32.png
        ${CMAKE_CURRENT_LIST_DIR}/icons/link-cursor.png)
