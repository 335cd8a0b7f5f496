#pragma once

#include "history/UpdateAttempt.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// What the technician is told at start when updates of an earlier run never ended: how many
// displays, when the last of them began, and which they are. Plain text: the names come from
// the displays, so whoever shows it shows it as text.
class InterruptedUpdatesNotice
{
    Q_DECLARE_TR_FUNCTIONS(InterruptedUpdatesNotice)

public:
    // Empty for an empty list.
    static QString text(const QList<UpdateAttempt> &interrupted);
    // "address (model, serial, started)" per display.
    static QString displayList(const QList<UpdateAttempt> &interrupted);
};
