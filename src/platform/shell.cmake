# The platform services of the application shell: help, tooltips, the entry-field highlight, the
# desktop drag setting, message boxes, the toolbar interface, window start-up and the process-wide values.
find_library(CHM_LIBRARY chm REQUIRED)
find_path(CHM_INCLUDE_DIR chm_lib.h REQUIRED)

target_sources(vetcert_platform PRIVATE
    chmfile.cpp chmfile.h
    dragsetting.cpp dragsetting.h
    entryhighlight.cpp entryhighlight.h
    globals.cpp globals.h
    help.cpp help.h
    helpviewer.cpp helpviewer.h
    messageboxreporter.cpp messageboxreporter.h
    toolbar.h
    tooltips.cpp tooltips.h
    windows.cpp windows.h
)
if(WIN32)
    target_sources(vetcert_platform PRIVATE dragsetting_win.cpp)
endif()
target_include_directories(vetcert_platform PRIVATE ${CHM_INCLUDE_DIR})
target_link_libraries(vetcert_platform PUBLIC ${CHM_LIBRARY})

# Icons and pictures of every window (":/icons/…", ":/pictures/…").
qt_add_resources(vetcert_platform vetcert_pictures
    PREFIX "/"
    BASE ${CMAKE_SOURCE_DIR}/resources
    FILES
        ${CMAKE_SOURCE_DIR}/resources/icons/vetcert.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/PRNFONT.ICO
        ${CMAKE_SOURCE_DIR}/resources/icons/EXIT.ICO
        ${CMAKE_SOURCE_DIR}/resources/icons/adr1.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/Sch-ord.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/lampa.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/calendarn.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/edit-cut.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/edit-copy.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/edit-paste.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/1n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/2n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/3n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/5n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/6n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/7n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/8n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/9n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/10n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/11n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/12n.ico
        ${CMAKE_SOURCE_DIR}/resources/icons/13n.ico
        ${CMAKE_SOURCE_DIR}/resources/pictures/color1.jpg
        ${CMAKE_SOURCE_DIR}/resources/pictures/Regud_zast.jpg
)
