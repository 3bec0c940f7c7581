vetcert_add_bench(bench_startup SOURCES bench_startup.cpp LIBS Qt6::Core)
target_compile_definitions(bench_startup PRIVATE VETCERT_BINARY="$<TARGET_FILE:vetcert>")
add_dependencies(bench_startup vetcert)
