#pragma once

#include <QtGlobal>
#include <array>

// Request flags of a control query. Each names one item; a query works through the pending ones
// in the order of controlItems(), one at a time.
namespace RequestFlag {
enum : quint32 {
    ModelName = 0x00000001,
    SerialNumber = 0x00000002,
    PowerStatus = 0x00000004,
    MainFirmware = 0x00000008,
    FirmwareVersions = 0x00000010,
    FirmwareByIndex = 0x00000020,
    MainFirmwareByIndex = 0x00000040,
    Vcp023E = 0x00000080,
    AssetTag = 0x00000100,
    SecondAddressCheck = 0x00000200,
    PowerOn = 0x00000400,
    PowerOff = 0x00000800,
    PageLockCheck = 0x00001000,
    ReadPowerSave = 0x00002000,
    PowerSaveOff = 0x00004000,
    PowerSaveAuto = 0x00008000,
    PowerSaveStandby = 0x00010000,
    RequestUpload = 0x00020000,
    StartUpdate = 0x00040000,
    UpdateProgress = 0x00080000,
    ReadHttpServer = 0x00100000,
    EnableHttpServer = 0x00200000,
    DisableHttpServer = 0x00400000,
    ReadPowerSaveMode = 0x00800000,
    PowerSaveModeOne = 0x01000000,
    PowerSaveModeNormal = 0x02000000,
};
}

// One row of the request table. An empty message type marks an HTTP check, which sends no message.
// The asset tag and the by-index firmware reads get a byte appended when they are sent.
struct ControlItem
{
    quint32 flag;
    char messageType;
    const char *body;
};

inline constexpr std::array<ControlItem, 26> ControlItems{{
    {RequestFlag::ModelName, 'A', "C217"},
    {RequestFlag::PowerStatus, 'A', "01D6"},
    {RequestFlag::PowerOn, 'A', "C203D60001"},
    {RequestFlag::SerialNumber, 'A', "C216"},
    {RequestFlag::MainFirmware, 'A', "C03F"},
    {RequestFlag::SecondAddressCheck, 0, ""},
    {RequestFlag::PageLockCheck, 0, ""},
    {RequestFlag::Vcp023E, 'C', "023E"},
    {RequestFlag::AssetTag, 'A', "C00B"},          // + offset byte + "20"
    {RequestFlag::ReadPowerSave, 'A', "CA0B00"},
    {RequestFlag::PowerSaveOff, 'A', "CA0B0102"},
    {RequestFlag::PowerSaveAuto, 'A', "CA0B0100"},
    {RequestFlag::PowerSaveStandby, 'A', "CA0B0101"},
    {RequestFlag::FirmwareVersions, 'A', "C03E"},
    {RequestFlag::MainFirmwareByIndex, 'A', "CA0200"},
    {RequestFlag::FirmwareByIndex, 'A', "CA02"},   // + index byte
    {RequestFlag::RequestUpload, 'E', "13070001"},
    {RequestFlag::StartUpdate, 'E', "13030001"},
    {RequestFlag::UpdateProgress, 'C', "1306"},
    {RequestFlag::ReadHttpServer, 'C', "11F0"},
    {RequestFlag::EnableHttpServer, 'E', "11F00002"},
    {RequestFlag::DisableHttpServer, 'E', "11F00001"},
    {RequestFlag::ReadPowerSaveMode, 'C', "11EE"},
    {RequestFlag::PowerSaveModeOne, 'E', "11EE0001"},
    {RequestFlag::PowerSaveModeNormal, 'E', "11EE0002"},
    {RequestFlag::PowerOff, 'A', "C203D60004"},
}};
