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
