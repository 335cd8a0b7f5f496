#pragma once

#include <QString>

// The local folder for the catalogue copy, firmware packages and unpacked firmware files:
// the application data location followed by "/Firmware".
namespace FirmwareCacheFolder {

// The folder, created when missing and create is set. Empty when there is no data location,
// when the folder is missing and create is clear, or when it cannot be created.
QString path(bool create);

}
