# The application update check and the cache maintenance commands.
quillon_test(tst_applicationupdatecheck
    SOURCES tst_applicationupdatecheck.cpp
    LIBS quillon_maintenance quillon_download fwserver_core)
quillon_test(tst_firmwarecache
    SOURCES tst_firmwarecache.cpp
    LIBS quillon_maintenance)
target_compile_definitions(tst_firmwarecache PRIVATE QUILLON_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
