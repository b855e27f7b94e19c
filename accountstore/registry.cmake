# The registry module over the hive store.
target_sources(hgaccountstore PRIVATE ${CMAKE_CURRENT_LIST_DIR}/mdlRegistry.cpp)
