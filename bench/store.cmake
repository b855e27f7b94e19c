# Account-store benchmarks: login check, safe rewrite, user removal, groups file.
add_executable(bench_store ${CMAKE_CURRENT_LIST_DIR}/bench_store.cpp)
target_link_libraries(bench_store PRIVATE hgaccountstore hgplatform_fake_core benchmark::benchmark)
