// Cells of the exports (display texts, notes, versions) quoted for a spreadsheet: read back by an
// RFC 4180 reader, every row must give the cells written, and no cell may start like a formula.
// Input: cells separated by 0xFF, rows by 0xFE.

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "reports/CsvWriter.h"

namespace {

// A strict RFC 4180 reader of one document (CRLF line ends), the way spreadsheets read it.
QList<QStringList> readCsv(const QString &text, bool *ok)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool cellStarted = false;
    *ok = true;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (cellStarted) {
                *ok = false;
                return rows;
            }
            quoted = true;
            cellStarted = true;
        } else if (c == QLatin1Char(',')) {
            row.append(cell);
            cell.clear();
            cellStarted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            row.append(cell);
            rows.append(row);
            row.clear();
            cell.clear();
            cellStarted = false;
            ++i;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            *ok = false; // a bare line break outside quotes splits a row
            return rows;
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    *ok = !quoted && cell.isEmpty() && row.isEmpty();
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    QList<QStringList> rows;
    for (const QByteArray &rowBytes : input.rest().split('\xFE')) {
        QStringList cells;
        for (const QByteArray &cellBytes : rowBytes.split('\xFF'))
            cells.append(QString::fromUtf8(cellBytes));
        rows.append(cells);
    }

    const QByteArray document = CsvWriter::document(rows);
    const QByteArray bom("\xEF\xBB\xBF");
    FUZZ_CHECK(document.startsWith(bom));
    bool ok = false;
    const QList<QStringList> read = readCsv(QString::fromUtf8(document.mid(bom.size())), &ok);
    FUZZ_CHECK(ok);
    FUZZ_CHECK(read.size() == rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        FUZZ_CHECK(read.at(r).size() == rows.at(r).size());
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QString &written = rows.at(r).at(c);
            const QString &back = read.at(r).at(c);
            // A cell that would start a formula is kept as text behind an apostrophe.
            if (CsvWriter::startsLikeFormula(written))
                FUZZ_CHECK(back == QLatin1Char('\'') + written);
            else
                FUZZ_CHECK(back == written);
            FUZZ_CHECK(!CsvWriter::startsLikeFormula(back));
        }
    }
    return 0;
}
