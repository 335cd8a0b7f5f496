#pragma once

#include <QByteArray>

struct DISPLAY_UDP_SEARCH_REPLY_INFO;

// The byte layouts of the search request, its acknowledgement and the reply, in one place.
// Every read of a reply stays inside the 256 bytes and inside the field it names.
namespace SearchDatagram {

inline constexpr quint16 Port = 5320;
inline constexpr int RequestSize = 128;
inline constexpr int ReplySize = 256;

enum RequestType : quint32 {
    BroadcastSearch = 2,
    TargetedSearch = 3,
    Acknowledgement = 5,
};

enum ReplyType : quint32 {
    BroadcastReply = 2,
    UncheckedReply = 8,
};

// filterMode 1 or 2; the caller has checked it is set.
QByteArray buildRequest(quint16 sequence, quint32 timeMs, quint32 requestType, int filterMode);

// The reply to a broadcast is acknowledged with the request itself, retyped and padded to a reply's size.
QByteArray buildAcknowledgement(const QByteArray &request);

quint32 replyType(const QByteArray &reply);

// Magic, sequence, filter flags and identifying text; the reply type and sender are the caller's.
bool passesChecks(const QByteArray &reply, quint16 sequence, int filterMode);

// False when the identifier byte is 0x80 or more; ipAddress is left to the caller.
bool decodeRecord(const QByteArray &reply, DISPLAY_UDP_SEARCH_REPLY_INFO *info);

// A field's text up to its first NUL, never beyond its width, without control characters, trimmed.
QString fieldText(const QByteArray &reply, int offset, int width);

}
