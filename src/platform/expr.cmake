# Filter and order expressions, the fuzzy matcher and the query-by-example window.
target_sources(vetcert_platform PRIVATE
    expression.cpp expression.h
    exprsql.cpp exprsql.h
    fuzzymatcher.cpp fuzzymatcher.h
    recordquery.cpp recordquery.h
)
target_sources(vetcert_platform PRIVATE
    querybyexample.cpp querybyexample.h
    querydialog.cpp querydialog.h
)
