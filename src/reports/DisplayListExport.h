#pragma once

#include "records/DisplayRowText.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

struct DisplayTableState;

// The display list as a table of texts for "Export display list...": the columns the window
// shows, then the address, second address, MAC address, power state and every firmware version,
// one line per row in the order given (the table's sort order).
class DisplayListExport
{
    Q_DECLARE_TR_FUNCTIONS(DisplayListExport)

public:
    struct Options
    {
        bool showAssetTag = true;
        bool legacySupport = false;
        DisplayRowText::StatusTextLookup statusText;
    };

    // rowOrder holds row numbers of state.displayEntries; an empty list means detection order.
    static QList<QStringList> table(const DisplayTableState &state, const QList<int> &rowOrder, const Options &options);
    static QString addressText(const QHostAddress &address);
};
