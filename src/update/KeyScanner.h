#pragma once

#include <QByteArray>

// Reads values out of a display's status reply without a JSON parser, the way the displays' own
// pages do: find the quoted key, take what stands between the colon and the next "," or "}".
// A cursor moves forward with each value read, so repeated keys are read in document order.
class KeyScanner
{
public:
    explicit KeyScanner(QByteArray body) : m_body(std::move(body)) {}

    // The next value of the key (given without quotes), trimmed and without quotes or braces;
    // empty when the key does not follow the cursor. An empty value leaves the cursor alone.
    QByteArray next(const QByteArray &key);
    int cursor() const { return m_cursor; }

    // A decimal integer within int range; false for anything else, including an empty value.
    static bool toNumber(const QByteArray &value, int *number);

private:
    QByteArray m_body;
    int m_cursor = 0;
};
