# Tests of the registry module.
hg_add_test(test_mdl_registry SOURCES test_mdl_registry.cpp LIBS hgaccountstore hgplatform_fake_core)
