#pragma once
// ASPI for Win32 (WNASPI32.DLL on Windows 9x): its entry points and request
// blocks, in their published byte layouts (packed; 32-bit pointers on the
// shipped build).

#include <cstddef>
#include <cstdint>

#include "os/Win32Types.h"

namespace aspi {

inline constexpr BYTE SC_HA_INQUIRY = 0x00;
inline constexpr BYTE SC_EXEC_SCSI_CMD = 0x02;
inline constexpr BYTE SC_GET_DISK_INFO = 0x06;

inline constexpr BYTE SS_PENDING = 0x00;
inline constexpr BYTE SS_COMP = 0x01;
inline constexpr BYTE SS_ABORTED = 0x02;
inline constexpr BYTE SS_ERR = 0x04;
inline constexpr BYTE SS_INVALID_HA = 0x81;
inline constexpr BYTE SS_NO_DEVICE = 0x82;

inline constexpr BYTE SRB_DIR_IN = 0x08;
inline constexpr BYTE SRB_DIR_OUT = 0x10;
inline constexpr BYTE SRB_EVENT_NOTIFY = 0x40;

inline constexpr BYTE kSenseLength = 14;

#pragma pack(push, 1)

struct SRB_HAInquiry {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE HA_Count;
  BYTE HA_SCSI_ID;
  BYTE HA_ManagerId[16];
  BYTE HA_Identifier[16];
  BYTE HA_Unique[16];
  WORD HA_Rsvd1;
};

struct SRB_GetDiskInfo {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE SRB_Target;
  BYTE SRB_Lun;
  BYTE SRB_DriveFlags;
  BYTE SRB_Int13HDriveInfo;
  BYTE SRB_Heads;
  BYTE SRB_Sectors;
  BYTE SRB_Rsvd1[10];
};

struct SRB_ExecSCSICmd {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE SRB_Target;
  BYTE SRB_Lun;
  WORD SRB_Rsvd1;
  DWORD SRB_BufLen;
  BYTE* SRB_BufPointer;
  BYTE SRB_SenseLen;
  BYTE SRB_CDBLen;
  BYTE SRB_HaStat;
  BYTE SRB_TargStat;
  void* SRB_PostProc;  // the event signalled on completion
  BYTE SRB_Rsvd2[20];
  BYTE CDBByte[16];
  BYTE SenseArea[kSenseLength + 2];
};

#pragma pack(pop)

static_assert(sizeof(SRB_HAInquiry) == 60, "host adapter inquiry block");
static_assert(sizeof(SRB_GetDiskInfo) == 24, "disk information block");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufLen) == 12, "SCSI request block");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(SRB_ExecSCSICmd, SRB_PostProc) == 24, "SCSI request block");
static_assert(offsetof(SRB_ExecSCSICmd, CDBByte) == 48, "SCSI request block");
static_assert(sizeof(SRB_ExecSCSICmd) == 80, "SCSI request block");
#endif

// The library's entry points (C calling convention).
using GetASPI32SupportInfoFn = DWORD (*)();
using SendASPI32CommandFn = DWORD (*)(void* srb);

}  // namespace aspi
