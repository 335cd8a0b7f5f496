#pragma once

#include "SimDisplayConfig.h"

#include <QByteArray>

// The 256-byte search reply of a display, built from its config and the
// 128-byte request it answers.
class SimSearchReply
{
public:
    static constexpr int RequestSize = 128;
    static constexpr int ReplySize = 256;

    static QByteArray build(const SimDisplayConfig &config, const QByteArray &request);
    static quint32 requestType(const QByteArray &datagram); // offset 16, little-endian
};
