// Control ids of dialog template 102, by what each control is for.
#pragma once

namespace varnet::ids {

inline constexpr int kCommandResponseList = 1001;
inline constexpr int kResultList = 1002;
inline constexpr int kOpen = 1003;
inline constexpr int kPortList = 1005;
inline constexpr int kClose = 1006;
inline constexpr int kDataBits = 1007;
inline constexpr int kStopBits = 1008;
inline constexpr int kParity = 1009;
inline constexpr int kSetPortStatus = 1010;
inline constexpr int kGetPortStatus = 1011;
inline constexpr int kBaudRate = 1012;
inline constexpr int kWriteData = 1013;
inline constexpr int kReadData = 1014;
inline constexpr int kLen = 1015;
inline constexpr int kDriverName = 1016;
inline constexpr int kOpenDrv = 1017;
inline constexpr int kCloseDrv = 1018;
inline constexpr int kDeviceDesc = 1019;
inline constexpr int kConfigDesc = 1020;
inline constexpr int kStringDesc = 1021;
inline constexpr int kCommand = 1022;
inline constexpr int kParameters = 1023;
inline constexpr int kSetCommand = 1024;
inline constexpr int kGetCommand = 1025;
inline constexpr int kReadInterrupt = 1026;
inline constexpr int kWriteBulk = 1027;
inline constexpr int kReadBulk = 1028;
inline constexpr int kBulkData = 1029;
inline constexpr int kBulkLen = 1030;
inline constexpr int kIncrement = 1031;
inline constexpr int kSetLine = 1032;
inline constexpr int kSetLineState = 1033;
inline constexpr int kSendBreak = 1034;
inline constexpr int kSendBreakSet = 1035;
inline constexpr int kFeature = 1036;
inline constexpr int kSetFeature = 1037;
inline constexpr int kEepromOffset = 1038;
inline constexpr int kEepromData = 1039;
inline constexpr int kEepromWrite = 1040;
inline constexpr int kEepromReadData = 1041;
inline constexpr int kEepromReadStatus = 1042;
inline constexpr int kSendTxt = 1043;
inline constexpr int kOpenTxt = 1045;
inline constexpr int kGetFeature = 1046;
inline constexpr int kClearFeature = 1047;
inline constexpr int kLoopCheck = 1048;
inline constexpr int kLoopTimes = 1049;
inline constexpr int kRand = 1050;
inline constexpr int kDtr = 1054;
inline constexpr int kRts = 1055;
inline constexpr int kHardwareFlow = 1059;
inline constexpr int kSoftwareFlow = 1060;
inline constexpr int kNoFlow = 1061;
inline constexpr int kLog = 1062;
inline constexpr int kFixValue = 1063;
inline constexpr int kFix = 1064;
inline constexpr int kClearAll = 1065;
inline constexpr int kGp0OutputEnable = 1066;
inline constexpr int kGp0Get = 1067;
inline constexpr int kGp0Set = 1068;
inline constexpr int kGp0Value = 1069;
inline constexpr int kGp1OutputEnable = 1070;
inline constexpr int kGp1Get = 1071;
inline constexpr int kGp1Set = 1072;
inline constexpr int kGp1Value = 1073;

inline constexpr int kClearCommand = 32771;  // "&Clear" of context menu 130

}  // namespace varnet::ids
