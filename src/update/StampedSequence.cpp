#include "update/StampedSequence.h"

#include "update/WebRequestCatalogue.h"

namespace Catalogue = WebRequestCatalogue;

namespace {

using Test = StepRow::Test;
using Wait = StepRow::Wait;
using S = StepSequence;
using In = StepRequestInputs;

// step, name, request, reply test, next, again, failure retries, log after a good reply, wait
const StepRow Steps[] = {
    // The display switches into its update mode after standby: its reply tells nothing yet.
    { S::Standby, "UPD_STANDBY_REQ", [](const In &in) { return Catalogue::stampedStandby(in.host, in.stamp); },
      Test::NotExamined, S::UpdateState, -1, 0, "waiting", Wait::ChangeMode },
    { S::UpdateState, "UPD_UPDATE_STATE_REQ", [](const In &in) { return Catalogue::stampedUpdateState(in.host, in.stamp); },
      Test::StateCheck, S::FileCheck, S::UpdateState, StampedSequence::MaxStateCheckRetries, nullptr, Wait::None },
    { S::FileCheck, "UPD_FILE_CHECK_REQ",
      [](const In &in) { return Catalogue::stampedUpload(in.filePath, in.fileSize, in.stamp); },
      Test::Ok, S::FileCheckResult, -1, 0, "File check received.", Wait::None },
    { S::FileCheckResult, "UPD_FILE_CHECK_RESULT",
      [](const In &in) { return Catalogue::stampedFileCheckResult(in.host, in.stamp); },
      Test::ComponentLoop, S::Update, S::FileCheckResult, 0, nullptr, Wait::None },
    { S::Update, "UPD_UPDATE_REQ", [](const In &in) { return Catalogue::stampedUpdate(in.host, in.components, in.stamp); },
      Test::Ok, S::ResultPoll, -1, 0, "finished UPD_UPDATE_REQ. Starting update progress wait.", Wait::UpdateExecute },
    { S::ResultPoll, nullptr, [](const In &in) { return Catalogue::stampedResultPoll(in.host, in.stamp); },
      Test::ResultLoop, S::Finished, S::ResultPoll, 0, nullptr, Wait::None },
};

} // namespace

StampedSequence::StampedSequence(SessionHost &host, const SeriesCode::SeriesRow &row)
    : StepSequence(host, row, Steps, InFlight::Quiet)
{
}
