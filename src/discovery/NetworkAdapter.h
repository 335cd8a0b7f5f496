#pragma once

#include <QHostAddress>
#include <QString>

// One usable IPv4 address of a network interface, as offered to the broadcast search.
struct NetworkAdapter
{
    QString humanReadableName;
    QHostAddress ip;
    QHostAddress broadcast;
    bool isUp = false;
};
