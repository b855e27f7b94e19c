# Tests of hgreg, run as a program.
hg_add_test(test_hgreg SOURCES test_hgreg.cpp LIBS hgplatform_fake_core)
target_compile_definitions(test_hgreg PRIVATE HGREG_PATH="$<TARGET_FILE:hgreg>")
add_dependencies(test_hgreg hgreg)
