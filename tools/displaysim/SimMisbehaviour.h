#pragma once

#include <QStringList>

// Faults one simulated display can be told to show. Every switch is off by
// default; a default-constructed value is a well-behaved display.
//
// Item lists (beItems, splitItems, badCheckItems, silentItems) hold prefixes
// of request bodies as the client sends them: "C03F" matches the main
// firmware read, "C00B" both asset-tag halves, "CA02" every firmware-by-index
// read, "11F0" the read and both sets of VCP 11h F0h (for "C"/"E" messages the
// body starts with the VCP code). "*" matches every item.
struct SimMisbehaviour
{
    enum class Listener {
        Normal,     // answer as configured
        NeverReply, // accept connections and read requests, never answer
        Refuse,     // no listener at all: connections are refused
    };

    // --- UDP search (port 5320) ---
    bool searchSilent = false;      // log the request, send nothing back
    bool wrongSequence = false;     // reply carries the request's sequence number + 1
    bool wrongMagic = false;        // reply starts "XXXX" instead of the configured magic
    int searchReplySize = 256;      // bytes actually sent (the reply is cut or padded with zeros)
    int searchReplyDelayMs = 0;     // wait before replying
    int searchReplyType = -1;       // reply type field; -1 = 2 for a broadcast request, 3 otherwise
    // A display nobody asked: from start() on it sends its reply to this "address:port" every
    // unaskedReplyIntervalMs, unaskedReplyCount times, as if answering a broadcast (type 2, or
    // searchReplyType) of sequence number unaskedReplySequence. Empty = off.
    QString unaskedReplyTo;
    int unaskedReplyIntervalMs = 100;
    int unaskedReplyCount = 50;
    int unaskedReplySequence = 0;

    // --- control protocol (port 7142) ---
    Listener control = Listener::Normal;
    QStringList beItems;            // answered with the "BE" error reply
    QStringList silentItems;        // read and logged, never answered (the connection stays open)
    QStringList splitItems;         // reply written in two parts, splitDelayMs apart
    QStringList badCheckItems;      // reply carries a wrong check code
    int splitDelayMs = 50;
    int splitAt = -1;               // byte offset of the split; -1 = half the frame
    int replyDelayMs = 0;           // wait before every reply (or only those in delayedItems)
    QStringList delayedItems;       // items replyDelayMs applies to; empty = every item
    int closeAfterItems = -1;       // close the connection when item N+1 arrives on it; -1 = never

    // --- web server (port 80) ---
    Listener web = Listener::Normal;
};
