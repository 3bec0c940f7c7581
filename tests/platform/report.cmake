# Tests of the report engine.
vetcert_add_test(tst_reportpagination SOURCES report/tst_reportpagination.cpp LIBS vetcert_platform)
vetcert_add_test(tst_reportplacement SOURCES report/tst_reportplacement.cpp LIBS vetcert_platform)
vetcert_add_test(tst_reportrunner SOURCES report/tst_reportrunner.cpp LIBS vetcert_platform)
