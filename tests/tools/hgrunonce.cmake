# Tests of hgrunonce, run as a program.
hg_add_test(test_hgrunonce SOURCES test_hgrunonce.cpp LIBS hgaccountstore hgplatform_fake_core)
target_compile_definitions(test_hgrunonce PRIVATE HGRUNONCE_PATH="$<TARGET_FILE:hgrunonce>")
add_dependencies(test_hgrunonce hgrunonce)
