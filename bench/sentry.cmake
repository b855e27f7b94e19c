# Locker benchmarks: the login decision on a large pfile.ini, the login click, and (under X11) the
# logon-prompt poll tick.
add_executable(bench_sentry ${CMAKE_CURRENT_LIST_DIR}/bench_sentry.cpp)
target_link_libraries(bench_sentry PRIVATE hgsentry_core hgplatform_fake_qt benchmark::benchmark)
