# Filters, orders and the fuzzy matcher over a large certificate file (see bench_expr.cpp).
vetcert_add_bench(bench_expr SOURCES bench_expr.cpp LIBS vetcert_platform)
