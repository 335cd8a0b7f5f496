#pragma once

#include <QHostAddress>
#include <QList>
#include <QMetaType>

// What a front end needs to ask before a LAN update batch: whether the cautions still wait for
// the technician's first acceptance, and which displays the batch would update. The summary's
// texts come from QuillonEngine::summaryTexts, built with the front end's own presentation.
struct UpdateConfirmation
{
    bool cautionsNeeded = false;
    int updateLimit = 0;
    QList<QHostAddress> listed;
};

Q_DECLARE_METATYPE(UpdateConfirmation)
