# Filter and order expressions, the fuzzy matcher and the query-by-example window.
vetcert_add_test(test_expression SOURCES test_expression.cpp LIBS vetcert_platform)
