#pragma once

#include "catalogue/FirmwareRelease.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

class FirmwareDatabase;

// The catalogue's reading rules: a key that is absent or of another JSON type gives its default,
// yes/no settings are the numbers 0 and 1 (a JSON true reads as 0), and a number that is not a
// whole signed 32-bit value reads as 0. With japanese set the "_ja" forms replace their base texts
// as each key prescribes.
namespace CatalogueJson {

qint32 readInt(const QJsonObject &object, const QString &key);
QString readString(const QJsonObject &object, const QString &key);
// The "_ja" form of key when japanese is set and that form is non-empty, else the base text.
QString readLocalisedString(const QJsonObject &object, const QString &key, bool japanese);

// Fills the header fields of database from the "info" object.
void readHeader(const QJsonObject &info, bool japanese, FirmwareDatabase &database);
// One element of "firmware"; an element that is not an object gives an all-default release.
FirmwareRelease readRelease(const QJsonValue &element, bool japanese);

}
