# The banded report engine: layout, pagination, document, runs, progress window and preview.
target_sources(vetcert_platform PRIVATE
    report/recordsource.cpp report/recordsource.h
    report/reportdocument.cpp report/reportdocument.h
    report/reportlayout.cpp report/reportlayout.h
    report/reportpaginator.cpp report/reportpaginator.h
    report/reportpreview.cpp report/reportpreview.h
    report/reportprogresswindow.cpp report/reportprogresswindow.h
    report/reportrow.cpp report/reportrow.h
    report/reportrun.cpp report/reportrun.h
    report/reportrunner.cpp report/reportrunner.h
    ${CMAKE_SOURCE_DIR}/resources/report.qrc
)
