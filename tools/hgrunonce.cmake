# hgrunonce: runs and deletes the run-once commands of the registry store at the start of a session.
add_executable(hgrunonce ${CMAKE_CURRENT_LIST_DIR}/hgrunonce.cpp)
target_link_libraries(hgrunonce PRIVATE hgaccountstore hgplatform_core)
install(TARGETS hgrunonce RUNTIME DESTINATION .)
