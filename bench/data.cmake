vetcert_add_bench(bench_store SOURCES bench_store.cpp LIBS vetcert_data vetcert_cli SQLite::SQLite3)
