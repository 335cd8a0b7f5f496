#pragma once

#include "records/DisplayEntry.h"

#include <QByteArray>

// A catalogue of the shape the firmware server publishes, filled with releases until it is just
// under maxBytes, and a table of rows that look up models in it. Deterministic for a given seed.
namespace CatalogueGenerator {

QByteArray catalogue(int maxBytes, quint32 seed);
DisplayEntryList rows(const QByteArray &catalogue, int count, quint32 seed);

}
