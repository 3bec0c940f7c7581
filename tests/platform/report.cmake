# Tests of the report engine.
vetcert_add_test(tst_reportpagination SOURCES report/tst_reportpagination.cpp LIBS vetcert_platform)
