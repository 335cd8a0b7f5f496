// A catalogue as the firmware server may send it, and one display read against it.
// Input: the catalogue document, a zero byte, then the display's fields separated by "|":
// model|serial|main firmware|firmware 1|firmware 2|firmware 3|firmware 4|series

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "catalogue/FirmwareDatabase.h"
#include "catalogue/FirmwareStatusEvaluator.h"
#include "records/DisplayEntry.h"

#include <QLocale>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QByteArray bytes = input.rest();
    const qsizetype split = bytes.lastIndexOf('\0');
    const QByteArray document = split < 0 ? bytes : bytes.left(split);
    const QList<QByteArray> fields = split < 0 ? QList<QByteArray>() : bytes.mid(split + 1).split('|');
    const auto field = [&fields](int i) { return i < fields.size() ? QString::fromUtf8(fields.at(i)) : QString(); };

    FirmwareDatabase database;
    const bool japanese = !document.isEmpty() && (quint8(document.back()) & 1);
    const int result = database.parse(document, japanese ? QLocale::Japanese : QLocale::English);
    FUZZ_CHECK(result == FirmwareDatabase::ParseOk || result == FirmwareDatabase::ParseInvalidJson
               || result == FirmwareDatabase::ParseNoInfo || result == FirmwareDatabase::ParseNoFirmware);
    FUZZ_CHECK(database.count() == database.releases().size());
    if (result != FirmwareDatabase::ParseOk)
        FUZZ_CHECK(database.count() == 0);

    DisplayEntry row;
    row.modelName = field(0);
    row.serialNumber = field(1);
    row.currentFirmware = field(2);
    for (int i = 0; i < 4; ++i)
        row.componentVersion[size_t(i)] = field(3 + i);
    row.displaySeries = field(7).toInt();

    // The model index must find what a walk through every release finds.
    FUZZ_CHECK(database.findReleaseIndex(row.modelName, row.serialNumber)
               == database.findReleaseIndexLinear(row.modelName, row.serialNumber));

    for (const bool legacy : { false, true }) {
        DisplayEntry evaluated = row;
        FirmwareStatusEvaluator(database, legacy).evaluateRow(evaluated, true);
        FUZZ_CHECK(evaluated.firmwareStatus >= FirmwareStatus::NotEvaluated
                   && evaluated.firmwareStatus <= FirmwareStatus::NewForLan);
        if (evaluated.firmwareStatus == FirmwareStatus::NewForLan)
            FUZZ_CHECK(evaluated.updateViaHTTP != 0);
    }
    return 0;
}
