# The report engine: records to a PDF file beside raw QPdfWriter drawing of the same texts.
vetcert_add_bench(bench_report SOURCES report_bench.cpp LIBS vetcert_platform)
