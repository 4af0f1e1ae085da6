#pragma once
// Status codes: 0 is success, every failure is a negative code. Operations
// that return a count or a flag return it as a non-negative value instead;
// a positive value never means failure.

#include <cstdint>

namespace RyStatus {

inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kFailed = -1;  // no storage, no object, or no more specific code
inline constexpr std::int32_t kIndexOutOfRange = -2;
inline constexpr std::int32_t kFieldOutOfRange = -3;
inline constexpr std::int32_t kComponentNotPresent = -4;
inline constexpr std::int32_t kVolumeLabelEmpty = -5;
inline constexpr std::int32_t kReserved6 = -6;
inline constexpr std::int32_t kReserved7 = -7;
inline constexpr std::int32_t kUnsupportedInfoType = -8;
inline constexpr std::int32_t kArgumentOutOfRange = -9;
inline constexpr std::int32_t kPayloadTooLong = -10;
inline constexpr std::int32_t kFileOpenFailed = -11;
inline constexpr std::int32_t kFileReadFailed = -12;
inline constexpr std::int32_t kRecoveryWriteFailed = -13;
inline constexpr std::int32_t kNoRecoveryDevice = -14;
inline constexpr std::int32_t kEventCreateFailed = -15;
inline constexpr std::int32_t kRecoveryWriteTimedOut = -16;
inline constexpr std::int32_t kDriveMapKeyMissing = -17;
inline constexpr std::int32_t kNoPlayerDrive = -18;
inline constexpr std::int32_t kAspiLoadFailed = -19;
inline constexpr std::int32_t kAspiEntryPointMissing = -20;
inline constexpr std::int32_t kAspiNotReady = -21;
inline constexpr std::int32_t kPlayerNotFound = -22;
inline constexpr std::int32_t kScsiRequestFailed = -23;
inline constexpr std::int32_t kDeviceOpenFailed = -24;
inline constexpr std::int32_t kDiskControlFailed = -25;
inline constexpr std::int32_t kNoPlayerDevice = -26;
inline constexpr std::int32_t kNoTransportForWindows = -27;
inline constexpr std::int32_t kTextLoadFailed = -28;
inline constexpr std::int32_t kReserved29 = -29;
inline constexpr std::int32_t kReserved30 = -30;
inline constexpr std::int32_t kLockFailed = -31;
inline constexpr std::int32_t kUnlockFailed = -32;
inline constexpr std::int32_t kNoGeometryFits = -33;
inline constexpr std::int32_t kSectorOutsideGeometry = -34;
inline constexpr std::int32_t kReserved35 = -35;
inline constexpr std::int32_t kReadSectorsFailed = -36;
inline constexpr std::int32_t kWriteSectorsFailed = -37;
inline constexpr std::int32_t kReserved38 = -38;
inline constexpr std::int32_t kFileSystemUnsupported = -39;
inline constexpr std::int32_t kDismountFailed = -40;
inline constexpr std::int32_t kIconLoadFailed = -41;
inline constexpr std::int32_t kOptionValueMissing = -42;
inline constexpr std::int32_t kLogicalTableUnreadable = -43;
inline constexpr std::int32_t kReserved44 = -44;
inline constexpr std::int32_t kReserved45 = -45;
inline constexpr std::int32_t kReserved46 = -46;
inline constexpr std::int32_t kReserved47 = -47;
inline constexpr std::int32_t kReserved48 = -48;
inline constexpr std::int32_t kReserved49 = -49;
inline constexpr std::int32_t kReserved50 = -50;
inline constexpr std::int32_t kMutexCreateFailed = -51;
inline constexpr std::int32_t kOtherInstanceNotActivated = -52;
inline constexpr std::int32_t kNoPlayerForUpdate = -53;
inline constexpr std::int32_t kNoPlayerForDetails = -54;
inline constexpr std::int32_t kDriveMapRefused = -55;
inline constexpr std::int32_t kNoInt13Drive = -56;
inline constexpr std::int32_t kVerifyMismatch = -57;
inline constexpr std::int32_t kAdministratorRequired = -58;
inline constexpr std::int32_t kSettingsDeleteFailed = -59;
inline constexpr std::int32_t kNoMessageEntry = -60;
inline constexpr std::int32_t kLanguageLibraryMissing = -61;
inline constexpr std::int32_t kOtherInstanceRunning = -62;
inline constexpr std::int32_t kUnknownSenseCode = -63;
// Produced by no operation; the message composition handles it.
inline constexpr std::int32_t kComposedMessage64 = -64;

}  // namespace RyStatus
