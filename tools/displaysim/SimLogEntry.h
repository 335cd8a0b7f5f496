#pragma once

#include <QByteArray>
#include <QHostAddress>

// One request as a simulated display received it.
//   Search:  request = the request type field in decimal ("2", "3", "5"), or
//            "size:N" for a datagram that is not a 128-byte request or a
//            256-byte acknowledgement, or "magic" for a foreign magic.
//   Control: request = the message body ("C217", "CA0B0102", "11F00002"),
//            or "!malformed" for bytes that are not a valid frame.
//   Web:     request = method, a space and the request target ("GET /index.html").
struct SimLogEntry
{
    enum class Channel { Search, Control, Web };

    Channel channel = Channel::Control;
    QByteArray request;
    char messageType = 0;   // control only: 'A', 'C' or 'E'
    QHostAddress peer;
};
