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
    // Objects of address, model, serial, power, firmware, status, update_available, mac,
    // asset_tag, latest_version and firmware_status (a word: up_to_date, new_lan, new_usb_only,
    // none_for_model, not_comparable, no_version_info, not_evaluated).
    static QByteArray json(const DisplayTableState &state);
};
