# Tests of the file downloader and the firmware package job, against fwserver on loopback.
quillon_test(tst_filedownloader
    SOURCES tst_filedownloader.cpp
    LIBS quillon_download fwserver_core
    TIMEOUT 180)
quillon_test(tst_downloadextractfirmware
    SOURCES tst_downloadextractfirmware.cpp
    LIBS quillon_download fwserver_core QuaZip::QuaZip
    TIMEOUT 120)
quillon_test(tst_cachefilename
    SOURCES tst_cachefilename.cpp
    LIBS quillon_download)
quillon_test(tst_fwserver
    SOURCES tst_fwserver.cpp
    LIBS fwserver_core)
