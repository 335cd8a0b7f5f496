#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

struct DisplayTableState;

// What "quillonctl search" prints: one line per display with its address, model, serial number,
// power state, firmware version and availability text (the window's texts), or a JSON array.
class SearchListing
{
    Q_DECLARE_TR_FUNCTIONS(SearchListing)

public:
    static QString text(const DisplayTableState &state);
    // Objects of address, model, serial, power, firmware, status, update_available.
    static QByteArray json(const DisplayTableState &state);
};
