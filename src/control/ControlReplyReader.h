#pragma once

#include "control/PD_TCP_REPLY.h"

#include <QByteArray>

// Reads one reply of the control protocol into the query it answers: the reply record, the items
// still pending and the cursors of the two multi-part reads. Holds no socket, so every byte a
// display can send is checked here and nowhere else.
class ControlReplyReader
{
public:
    ControlReplyReader(PD_TCP_REPLY &reply, quint32 &pending, int &firmwareIndex, int &assetTagOffset);

    // current is the flag of the item the reply answers. Returns ControlStatus::Complete when the
    // reply was taken, Unsupported when the display does not know the item, Malformed otherwise.
    int read(const QByteArray &data, quint32 current);

private:
    PD_TCP_REPLY &m_reply;
    quint32 &m_pending;
    int &m_firmwareIndex;
    int &m_assetTagOffset;
};
