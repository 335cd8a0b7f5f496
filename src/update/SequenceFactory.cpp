#include "update/SequenceFactory.h"

#include "records/SeriesCode.h"
#include "update/CgictrlSequence.h"
#include "update/ChunkedSequence.h"
#include "update/LegacyUploadSequence.h"
#include "update/StampedSequence.h"
#include "update/TcpAssistedSequence.h"

std::unique_ptr<UpdateSequence> makeUpdateSequence(int seriesCode, SessionHost &host)
{
    const SeriesCode::SeriesRow &row = SeriesCode::seriesRow(seriesCode);
    switch (row.sequence) {
    case SeriesCode::UpdateSequenceKind::LegacyUpload:
        return std::make_unique<LegacyUploadSequence>(host, row);
    case SeriesCode::UpdateSequenceKind::CgictrlSteps:
        return std::make_unique<CgictrlSequence>(host, row);
    case SeriesCode::UpdateSequenceKind::PjctrlChunked:
        return std::make_unique<ChunkedSequence>(host);
    case SeriesCode::UpdateSequenceKind::PjctrlStamped:
        return std::make_unique<StampedSequence>(host, row);
    case SeriesCode::UpdateSequenceKind::TcpAssisted:
        return std::make_unique<TcpAssistedSequence>(host);
    case SeriesCode::UpdateSequenceKind::None:
        break;
    }
    return nullptr;
}
