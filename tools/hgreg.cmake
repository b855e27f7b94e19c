# hgreg: the registry store from the command line.
add_executable(hgreg ${CMAKE_CURRENT_LIST_DIR}/hgreg.cpp)
target_link_libraries(hgreg PRIVATE hgaccountstore)
install(TARGETS hgreg RUNTIME DESTINATION .)
