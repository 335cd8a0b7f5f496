#pragma once

#include "records/SeriesCode.h"
#include "update/WebRequest.h"

#include <QByteArray>
#include <QString>
#include <QTime>
#include <array>

// Every request an update session sends to a display's web server, byte for byte. The sequences
// only ask for requests here; nothing else knows a URL, a header or a multipart line.
namespace WebRequestCatalogue {

inline constexpr char Boundary[] = "AaB03x";
inline constexpr int ChunkBytes = 512000;
inline constexpr char LegacyAccessValue[] = "46213";
// Neither value is looked at by a display; they only fill the places the exchange has for them.
inline constexpr char PlaceholderEmail[] = "update@quillon.invalid";
inline constexpr char UploadHostName[] = "quillon-update";

// "hhmmsszzz" of the given time of day.
QByteArray timeStamp(const QTime &time);
// A fresh random UUID without braces, for the chunked sequence's URLs.
QByteArray cacheBreaker();
// Enabled component numbers, 1-based, ascending, joined by ","; "1" when none is enabled.
QByteArray componentList(const std::array<bool, 6> &enabled);

// Multipart pieces around the file. WithEmail gives Body A, without it Body B.
QByteArray multipartHead(const QString &filePath, bool withEmail);
QByteArray multipartTail();

// cgictrl step sequence (series 3-6); cgiPath from the series table.
WebRequest cgictrlStandby(const QByteArray &cgiPath, const QString &host, const QByteArray &stamp);
WebRequest cgictrlFileDelete(const QString &host, const QByteArray &stamp);
WebRequest cgictrlUpdateState(const QString &host, const QByteArray &stamp);
WebRequest cgictrlUpload(const QByteArray &cgiPath, const QString &filePath, qint64 fileSize, const QByteArray &stamp);
WebRequest cgictrlFileCheckResult(const QString &host, const QByteArray &stamp);
WebRequest cgictrlModeChange(const QString &host, const QByteArray &stamp);
WebRequest cgictrlUpdate(const QByteArray &cgiPath, const QString &host, const QByteArray &components,
                         const QByteArray &stamp);
WebRequest cgictrlResultPoll(const QString &host, const QByteArray &stamp);

// pjctrl stamped sequence (series 10).
WebRequest stampedStandby(const QString &host, const QByteArray &stamp);
WebRequest stampedUpdateState(const QString &host, const QByteArray &stamp);
WebRequest stampedUpload(const QString &filePath, qint64 fileSize, const QByteArray &stamp);
WebRequest stampedFileCheckResult(const QString &host, const QByteArray &stamp);
WebRequest stampedUpdate(const QString &host, const QByteArray &components, const QByteArray &stamp);
WebRequest stampedResultPoll(const QString &host, const QByteArray &stamp);

// pjctrl chunked sequence (series 9); breaker from cacheBreaker().
WebRequest chunkedStandby(const QByteArray &breaker);
WebRequest chunkedUpdateState(const QByteArray &breaker);
WebRequest chunkedAnnounce(qint64 fileSize, const QByteArray &breaker);
WebRequest chunkedChunk(const QByteArray &chunk, const QByteArray &breaker);
WebRequest chunkedFileCheckResult(const QByteArray &breaker);
WebRequest chunkedUpdate(const QByteArray &breaker);
WebRequest chunkedResultPoll(const QByteArray &breaker);

// Legacy multi-file upload (series 1-2): one per component file.
WebRequest legacyUpload(const QString &filePath, qint64 fileSize);

// TCP-assisted sequence (series 11): the file in a library-built multipart, with the upload key.
WebRequest tcpAssistedUpload(const QString &filePath, const QByteArray &uploadKey);

}
