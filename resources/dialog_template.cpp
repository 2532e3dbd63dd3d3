#include "resources/dialog_template.h"

#include <array>

namespace varnet::resources {
namespace {

using K = ControlKind;

constexpr std::array<std::string_view, 16> kPortItems = {"COM1",  "COM2",  "COM3",  "COM4",  "COM5",  "COM6",
                                                         "COM7",  "COM8",  "COM9",  "COM10", "COM11", "COM12",
                                                         "COM13", "COM14", "COM15", ""};
constexpr std::array<std::string_view, 5> kSizeItems = {"5", "6", "7", "8", "16"};
constexpr std::array<std::string_view, 3> kStopBitItems = {"1", "1.5", "2"};
constexpr std::array<std::string_view, 5> kParityItems = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<std::string_view, 31> kRateItems = {
    "0",       "75",      "150",     "300",     "600",     "1200",    "1800",   "2400",
    "3600",    "4800",    "7200",    "9600",    "14400",   "19200",   "28800",  "38400",
    "57600",   "115200",  "230400",  "460800",  "614400",  "812500",  "921600", "937500",
    "1228800", "1500000", "2457600", "2500000", "3000000", "4915200", "6000000"};

constexpr std::uint32_t kEditScrolls = kScrolls;

const ControlDef kControls[] = {
    {kStaticId, K::GroupBox, "COMM Command", {5, 7, 253, 73}, kStyleNone, {}},
    {1005, K::DropDownList, "", {10, 15, 41, 69}, kStyleNone, kPortItems},
    {1003, K::PushButton, "&Open", {55, 15, 25, 13}, kStyleNone, {}},
    {1006, K::PushButton, "&Close", {83, 15, 26, 13}, kStyleNone, {}},
    {kStaticId, K::Label, "Size", {10, 30, 12, 8}, kStyleNone, {}},
    {1007, K::DropDownList, "", {26, 30, 25, 55}, kStyleNone, kSizeItems},
    {kStaticId, K::Label, "S.Bit", {10, 45, 15, 8}, kStyleNone, {}},
    {1008, K::DropDownList, "", {26, 45, 25, 44}, kStyleNone, kStopBitItems},
    {kStaticId, K::Label, "Par", {10, 60, 10, 8}, kStyleNone, {}},
    {1009, K::DropDownList, "", {26, 60, 25, 70}, kStyleNone, kParityItems},
    {kStaticId, K::Label, "Rate", {54, 30, 14, 8}, kStyleNone, {}},
    {1012, K::DropDown, "", {68, 30, 41, 48}, kStyleNone, kRateItems},
    {1010, K::PushButton, "&Set Port Status", {54, 45, 55, 13}, kStyleNone, {}},
    {1011, K::PushButton, "&Get Port Status", {54, 60, 55, 13}, kStyleNone, {}},
    {1013, K::PushButton, "&Write Data", {110, 15, 41, 13}, kStyleNone, {}},
    {kStaticId, K::Label, "Len", {111, 30, 11, 8}, kStyleNone, {}},
    {1015, K::Edit, "", {122, 30, 29, 12}, kStyleNone, {}},
    {1014, K::PushButton, "&Read Data", {110, 45, 41, 13}, kStyleNone, {}},
    {kStaticId, K::GroupBox, "USB Command", {5, 82, 253, 116}, kStyleNone, {}},
    {kStaticId, K::Label, "Driver Name", {10, 92, 36, 8}, kStyleNone, {}},
    {1016, K::Edit, "", {50, 90, 40, 12}, kEditScrolls, {}},
    {1017, K::PushButton, "O&pen Drv", {95, 90, 35, 12}, kStyleNone, {}},
    {1018, K::PushButton, "C&lose Drv", {135, 90, 35, 12}, kStyleNone, {}},
    {1019, K::PushButton, "Device Desc.", {10, 105, 50, 10}, kStyleNone, {}},
    {1020, K::PushButton, "Config Desc.", {65, 105, 50, 10}, kStyleNone, {}},
    {1021, K::PushButton, "String Desc.", {120, 105, 50, 10}, kStyleNone, {}},
    {kStaticId, K::Label, "Command", {10, 115, 29, 8}, kStyleNone, {}},
    {1022, K::Edit, "", {10, 125, 20, 12}, kEditScrolls, {}},
    {kStaticId, K::Label, "Parameters", {10, 138, 31, 8}, kStyleNone, {}},
    {1023, K::Edit, "", {10, 148, 20, 12}, kEditScrolls, {}},
    {1024, K::PushButton, "Set", {32, 125, 18, 11}, kStyleNone, {}},
    {1025, K::PushButton, "Get", {32, 148, 18, 11}, kStyleNone, {}},
    {kStaticId, K::GroupBox, "Transfer", {175, 85, 58, 72}, kStyleNone, {}},
    {1026, K::PushButton, "Int", {180, 122, 10, 20}, kStyleNone, {}},
    {kStaticId, K::Label, "Data", {185, 95, 14, 8}, kStyleNone, {}},
    {1029, K::Edit, "", {203, 93, 25, 12}, kEditScrolls, {}},
    {kStaticId, K::Label, "Len", {188, 109, 11, 8}, kStyleNone, {}},
    {1030, K::Edit, "", {203, 107, 25, 12}, kEditScrolls | kDigitsOnly, {}},
    {1027, K::PushButton, "Write Bulk", {195, 122, 35, 10}, kStyleNone, {}},
    {1028, K::PushButton, "Read Bulk", {195, 134, 35, 10}, kStyleNone, {}},
    {kStaticId, K::GroupBox, "Command Response", {6, 198, 253, 72}, kStyleNone, {}},
    {1001, K::ListBox, "", {10, 208, 242, 56}, kStyleNone, {}},
    {kStaticId, K::GroupBox, "Result", {264, 6, 112, 245}, kStyleNone, {}},
    {1002, K::ListBox, "", {267, 15, 105, 230}, kHorizontalScroll | kStaticEdge, {}},
    {1031, K::AutoCheckBox, "Increment", {185, 145, 43, 10}, kStyleNone, {}},
    {kStaticId, K::Label, "Set Line", {58, 115, 22, 8}, kStyleNone, {}},
    {1032, K::Edit, "", {53, 125, 17, 12}, kEditScrolls, {}},
    {1033, K::PushButton, "Set", {72, 125, 16, 11}, kStyleNone, {}},
    {kStaticId, K::Label, "Send Break", {53, 138, 32, 8}, kStyleNone, {}},
    {1034, K::Edit, "", {53, 148, 17, 12}, kEditScrolls, {}},
    {1035, K::PushButton, "Set", {72, 148, 16, 11}, kStyleNone, {}},
    {kStaticId, K::Label, "Feature", {10, 165, 22, 8}, kStyleNone, {}},
    {1036, K::Edit, "", {35, 165, 18, 12}, kEditScrolls, {}},
    {1037, K::PushButton, "Set", {11, 180, 16, 11}, kStyleNone, {}},
    {kStaticId, K::GroupBox, "EEPROM", {95, 115, 75, 45}, kStyleNone, {}},
    {1038, K::Edit, "", {117, 124, 17, 12}, kEditScrolls, {}},
    {kStaticId, K::Label, "Offset", {98, 126, 19, 8}, kStyleNone, {}},
    {kStaticId, K::Label, "Data", {99, 143, 14, 8}, kStyleNone, {}},
    {1039, K::Edit, "", {117, 142, 17, 12}, kEditScrolls, {}},
    {1040, K::PushButton, "Write", {137, 123, 29, 9}, kStyleNone, {}},
    {1041, K::PushButton, "R. Data", {137, 135, 29, 9}, kStyleNone, {}},
    {1042, K::PushButton, "R. Status", {137, 147, 29, 9}, kStyleNone, {}},
    {1043, K::PushButton, "Send TXT", {155, 30, 38, 13}, kStyleNone, {}},
    {1045, K::PushButton, "Open TXT", {155, 15, 38, 13}, kStyleNone, {}},
    {1046, K::PushButton, "Get", {28, 180, 16, 11}, kStyleNone, {}},
    {1047, K::PushButton, "Clr", {45, 180, 16, 11}, kStyleNone, {}},
    {1048, K::PushButton, "Loop Check", {110, 60, 41, 13}, kStyleNone, {}},
    {kStaticId, K::Label, "loop times", {156, 62, 30, 8}, kStyleNone, {}},
    {1049, K::Edit, "", {187, 61, 29, 12}, kEditScrolls | kDigitsOnly, {}},
    {1050, K::AutoCheckBox, "Rand", {156, 48, 30, 10}, kStyleNone, {}},
    {1054, K::CheckBox, "DTR", {228, 15, 20, 10}, kPushLike, {}},
    {1055, K::CheckBox, "RTS", {228, 25, 20, 10}, kPushLike, {}},
    {1059, K::AutoRadioButton, "HW", {198, 15, 27, 10}, kPushLike | kNoTabStop | kGroupStart, {}},
    {1060, K::AutoRadioButton, "SW", {198, 25, 27, 10}, kPushLike | kNoTabStop, {}},
    {1061, K::AutoRadioButton, "N/F", {198, 35, 27, 10}, kPushLike | kNoTabStop, {}},
    {1062, K::CheckBox, "Log", {228, 35, 20, 10}, kPushLike | kDisabled | kGroupStart, {}},
    {1063, K::Edit, "", {221, 47, 19, 12}, kEditScrolls | kUpperCase, {}},
    {1064, K::AutoCheckBox, "Fix  0x", {190, 48, 30, 10}, kStyleNone, {}},
    {1065, K::PushButton, "Clear All", {345, 253, 31, 17}, kStyleNone, {}},
    {kStaticId, K::GroupBox, "GP0", {66, 161, 66, 31}, kStyleNone, {}},
    {kStaticId, K::GroupBox, "GP1", {135, 161, 66, 31}, kStyleNone, {}},
    {1066, K::CheckBox, "Output Enable", {72, 168, 54, 8}, kStyleNone, {}},
    {1067, K::PushButton, "Get", {72, 180, 19, 9}, kStyleNone, {}},
    {1068, K::PushButton, "Set", {93, 180, 19, 9}, kDisabled, {}},
    {1069, K::Edit, "", {114, 177, 12, 12}, kEditScrolls | kDigitsOnly | kDisabled, {}},
    {1070, K::CheckBox, "Output Enable", {140, 168, 54, 8}, kStyleNone, {}},
    {1071, K::PushButton, "Get", {140, 180, 19, 9}, kStyleNone, {}},
    {1072, K::PushButton, "Set", {161, 180, 19, 9}, kDisabled, {}},
    {1073, K::Edit, "", {183, 177, 12, 12}, kEditScrolls | kDigitsOnly | kDisabled, {}},
};

}  // namespace

const DialogDef& MainDialog() {
  static const DialogDef dialog{
      kMainDialogId, "Varnet Test Program Ver 3.1.4.5", "Times New Roman", 9, 383, 274, kControls};
  return dialog;
}

std::vector<int> AutoRadioGroup(int id) {
  const std::span<const ControlDef> controls = MainDialog().controls;
  std::size_t self = 0;
  while (self < controls.size() && controls[self].id != id) {
    ++self;
  }
  std::vector<int> group;
  if (self == controls.size()) {
    return group;
  }
  std::size_t first = self;
  while (first > 0 && (controls[first].style & kGroupStart) == 0) {
    --first;
  }
  for (std::size_t i = first; i < controls.size(); ++i) {
    if (i > first && (controls[i].style & kGroupStart) != 0) {
      break;
    }
    if (controls[i].kind == ControlKind::AutoRadioButton) {
      group.push_back(controls[i].id);
    }
  }
  return group;
}

const ControlDef* FindControl(int id) {
  if (id == kStaticId) {
    return nullptr;
  }
  for (const ControlDef& control : kControls) {
    if (control.id == id) {
      return &control;
    }
  }
  return nullptr;
}

bool IsComboBox(ControlKind kind) {
  return kind == ControlKind::DropDownList || kind == ControlKind::DropDown;
}

bool IsButton(ControlKind kind) {
  return kind == ControlKind::PushButton || kind == ControlKind::AutoCheckBox ||
         kind == ControlKind::CheckBox || kind == ControlKind::AutoRadioButton;
}

}  // namespace varnet::resources
