# Locker benchmarks: the login decision on a large pfile.ini, the login click, and (under X11) the
# logon-prompt poll tick.
add_executable(bench_sentry ${CMAKE_CURRENT_LIST_DIR}/bench_sentry.cpp)
target_link_libraries(bench_sentry PRIVATE hgsentry_core hgplatform_fake_qt benchmark::benchmark)

# Not a benchmark of its own: the figures of scripts/measure-sentry on a real X server. Built apart
# from bench/ so that scripts/bench does not run it.
add_executable(measure_sentry ${CMAKE_CURRENT_LIST_DIR}/measure_sentry.cpp)
target_link_libraries(measure_sentry PRIVATE PkgConfig::XCB)
set_target_properties(measure_sentry PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/measure)
