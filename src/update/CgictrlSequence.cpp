#include "update/CgictrlSequence.h"

#include "update/WebRequestCatalogue.h"

namespace Catalogue = WebRequestCatalogue;

namespace {

using Test = StepRow::Test;
using Wait = StepRow::Wait;
using S = StepSequence;
using In = StepRequestInputs;

// step, name, request, reply test, next, again, failure retries, log after a good reply, wait
const StepRow Steps[] = {
    { S::Standby, "UPD_STANDBY_REQ", [](const In &in) { return Catalogue::cgictrlStandby(in.cgiPath, in.host, in.stamp); },
      Test::Ok, S::FileDelete, -1, 0, nullptr, Wait::None },
    { S::FileDelete, "UPD_FILE_DEL_REQ", [](const In &in) { return Catalogue::cgictrlFileDelete(in.host, in.stamp); },
      Test::Ok, S::UpdateState, -1, 0, nullptr, Wait::None },
    // Files of an earlier attempt are still there: delete them and ask again.
    { S::UpdateState, "UPD_UPDATE_STATE_REQ", [](const In &in) { return Catalogue::cgictrlUpdateState(in.host, in.stamp); },
      Test::StateCheck, S::FileCheck, S::FileDelete, 0, nullptr, Wait::None },
    { S::FileCheck, "UPD_FILE_CHECK_REQ",
      [](const In &in) { return Catalogue::cgictrlUpload(in.cgiPath, in.filePath, in.fileSize, in.stamp); },
      Test::Ok, S::FileCheckResult, -1, 0, nullptr, Wait::None },
    { S::FileCheckResult, "UPD_FILE_CHECK_RESULT",
      [](const In &in) { return Catalogue::cgictrlFileCheckResult(in.host, in.stamp); },
      Test::ComponentLoop, S::ModeChange, S::FileCheckResult, 0, nullptr, Wait::None },
    { S::ModeChange, "UPD_MODE_CHANGE_REQ", [](const In &in) { return Catalogue::cgictrlModeChange(in.host, in.stamp); },
      Test::Ok, S::Update, -1, 0, nullptr, Wait::None },
    { S::Update, "UPD_UPDATE_REQ",
      [](const In &in) { return Catalogue::cgictrlUpdate(in.cgiPath, in.host, in.components, in.stamp); },
      Test::Ok, S::ResultPoll, -1, 0, nullptr, Wait::None },
    { S::ResultPoll, nullptr, [](const In &in) { return Catalogue::cgictrlResultPoll(in.host, in.stamp); },
      Test::ResultLoop, S::Finished, S::ResultPoll, 0, nullptr, Wait::None },
};

} // namespace

CgictrlSequence::CgictrlSequence(SessionHost &host, const SeriesCode::SeriesRow &row)
    : StepSequence(host, row, Steps, InFlight::MarksRunning)
{
}
