# Data files, password digest, groups file, logs, safe rewrite, user removal.
target_sources(hgaccountstore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AccountStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EventLog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GroupsFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PasswordDigest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RestrictionOptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SafeRewrite.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UserRemoval.cpp
)
