quillon_test(tst_cataloguestartupflow
    SOURCES tst_cataloguestartupflow.cpp
    LIBS quillon_flows fwserver_core)
