# Filter and order expressions, the fuzzy matcher and the query-by-example window.
vetcert_add_test(test_expression SOURCES test_expression.cpp LIBS vetcert_platform)
vetcert_add_test(test_recordquery SOURCES test_recordquery.cpp exprfixture.h LIBS vetcert_platform)
vetcert_add_test(test_fuzzymatcher SOURCES test_fuzzymatcher.cpp LIBS vetcert_platform)
vetcert_add_test(test_querybyexample SOURCES test_querybyexample.cpp exprfixture.h LIBS vetcert_platform)
vetcert_add_test(test_exportfilter SOURCES test_exportfilter.cpp exprfixture.h LIBS vetcert_platform)
add_dependencies(test_exportfilter vetcert)
