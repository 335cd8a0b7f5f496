# The HTTP file downloader and the firmware package job.
quillon_library(download
    SOURCES
        CacheFileName.h CacheFileName.cpp
        DownloadExtractFirmware.h DownloadExtractFirmware.cpp
        FileChecksum.h FileChecksum.cpp
        FileDownloader.h FileDownloader.cpp
    LIBS Qt6::Network quillon_catalogue QuaZip::QuaZip)
