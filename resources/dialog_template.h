// Dialog template 102, the one description of the main window that every host builds from:
// the resource script is generated from it, the Qt host lays its widgets out from it, and the
// headless host models its controls from it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace varnet::resources {

inline constexpr int kMainDialogId = 102;
inline constexpr int kIconId = 128;
inline constexpr int kContextMenuId = 130;
inline constexpr int kClearCommandId = 32771;
inline constexpr int kStaticId = -1;  // labels and group boxes have no id of their own

enum class ControlKind {
  GroupBox,
  Label,
  PushButton,
  Edit,
  DropDownList,  // combo box whose text can only be picked from its list
  DropDown,      // combo box with an editable text field
  AutoCheckBox,
  CheckBox,  // manual: only the program changes its mark
  AutoRadioButton,
  ListBox,
};

// Styles beyond what the kind implies.
enum ControlStyle : std::uint32_t {
  kStyleNone = 0,
  kDisabled = 1u << 0,
  kScrolls = 1u << 1,  // edit text may run past the visible width
  kDigitsOnly = 1u << 2,
  kUpperCase = 1u << 3,
  kPushLike = 1u << 4,
  kNoTabStop = 1u << 5,
  kHorizontalScroll = 1u << 6,  // list box with a horizontal scroll bar
  kStaticEdge = 1u << 7,
  kGroupStart = 1u << 8,  // first control of a radio-button group
};

struct Rect {
  int x;
  int y;
  int width;
  int height;
};

struct ControlDef {
  int id;
  ControlKind kind;
  std::string_view caption;
  Rect rect;  // dialog units of the template's font
  std::uint32_t style;
  std::span<const std::string_view> items;  // initial items of a combo box, in order
};

struct DialogDef {
  int id;
  std::string_view caption;
  std::string_view fontName;
  int fontPointSize;
  int width;
  int height;
  std::span<const ControlDef> controls;  // template order, which is also the tab order
};

const DialogDef& MainDialog();

// The control with this id, or nullptr.
const ControlDef* FindControl(int id);

// The automatic radio buttons of the group of automatic radio button `id`: from the control
// that starts the group (WS_GROUP) to the next one that starts another, in template order.
// Clicking one checks it and clears the others.
std::vector<int> AutoRadioGroup(int id);

// Context menu 130: one pop-up with one item.
inline constexpr std::string_view kContextMenuPopupCaption = "Menu";
inline constexpr std::string_view kClearCommandCaption = "&Clear";

bool IsComboBox(ControlKind kind);
bool IsButton(ControlKind kind);  // push button, check box or radio button

}  // namespace varnet::resources
