# Tests of the account store: data files, digest, groups file, logs, safe rewrite, user removal.
set(_hg_store_libs hgaccountstore hgplatform_fake_core)
hg_add_test(test_account_store SOURCES test_account_store.cpp LIBS ${_hg_store_libs})
hg_add_test(test_password_digest SOURCES test_password_digest.cpp LIBS ${_hg_store_libs})
hg_add_test(test_groups_file SOURCES test_groups_file.cpp LIBS ${_hg_store_libs})
hg_add_test(test_restriction_options SOURCES test_restriction_options.cpp LIBS hgaccountstore)
hg_add_test(test_event_log SOURCES test_event_log.cpp LIBS ${_hg_store_libs})
hg_add_test(test_safe_rewrite SOURCES test_safe_rewrite.cpp LIBS ${_hg_store_libs})
hg_add_test(test_user_removal SOURCES test_user_removal.cpp LIBS ${_hg_store_libs})
