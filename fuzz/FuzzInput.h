#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// Reads a fuzz input as a sequence of choices and byte strings. Runs dry without failing: once
// the input is used up every choice is 0 and every string empty, so any input is a valid one.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data)), m_size(size)
    {
    }

    bool atEnd() const { return m_position >= m_size; }

    quint8 byte() { return atEnd() ? 0 : quint8(m_data[m_position++]); }

    quint16 u16()
    {
        const quint16 low = byte();
        return quint16(low | (byte() << 8));
    }

    // A string whose length is given by the next byte (0..255), cut short at the end of the input.
    QByteArray shortString() { return take(byte()); }

    // Up to n bytes.
    QByteArray take(size_t n)
    {
        const size_t count = qMin(n, m_size - qMin(m_position, m_size));
        const QByteArray bytes(m_data + m_position, qsizetype(count));
        m_position += count;
        return bytes;
    }

    QByteArray rest() { return take(m_size); }

private:
    const char *m_data;
    size_t m_size;
    size_t m_position = 0;
};
