#pragma once

#include <QDebug>
#include <QStringList>
#include <QTest>

// The messages the code under test logs, kept for checks on what the log says; a failed test
// prints them, so its log is not lost. start() in init(), stop() in cleanup().
namespace LogCapture {

inline QStringList &lines()
{
    static QStringList captured;
    return captured;
}

inline void start()
{
    lines().clear();
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
        lines() << message;
    });
}

inline void stop()
{
    qInstallMessageHandler(nullptr);
    if (QTest::currentTestFailed()) {
        for (const QString &line : std::as_const(lines()))
            qDebug().noquote() << line;
    }
}

// True when a captured line contains text.
inline bool logged(const QString &text)
{
    for (const QString &line : std::as_const(lines())) {
        if (line.contains(text))
            return true;
    }
    return false;
}

} // namespace LogCapture
