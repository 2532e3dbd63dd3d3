// layout-check.exe: creates dialog 102 from the program's resources, as the programs do, and
// checks it against the template table: every control's class, rectangle (MapDialogRect of its
// dialog units) and styles in template order, the dialog's caption, size and styles, icon 128,
// menu 130, the version resource and the common controls version the manifest asks for.
// Prints one line per difference and exits with 1 if there is any.
#include <cstdio>
#include <string>

#include "platform_win32/windows_api.h"
#include "resources/dialog_template.h"
// After windows.h, which they need.
#include <commctrl.h>
#include <shlwapi.h>

namespace {

using varnet::resources::ControlDef;
using varnet::resources::ControlKind;
namespace r = varnet::resources;

int g_failures = 0;

void Check(bool ok, const std::string& what) {
  if (!ok) {
    ++g_failures;
    std::printf("differs: %s\n", what.c_str());
  }
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

std::string ExpectedClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return "Static";
    case ControlKind::Edit:
      return "Edit";
    case ControlKind::DropDownList:
    case ControlKind::DropDown:
      return "ComboBox";
    case ControlKind::ListBox:
      return "ListBox";
    default:
      return "Button";
  }
}

// The style bits that the kind and the table's flags call for, and the mask they are judged in.
void ExpectedStyle(const ControlDef& def, LONG& style, LONG& mask) {
  style = 0;
  mask = WS_TABSTOP | WS_DISABLED | WS_GROUP;
  const bool focusable = def.kind != ControlKind::Label && def.kind != ControlKind::GroupBox;
  if (focusable && (def.style & r::kNoTabStop) == 0) style |= WS_TABSTOP;
  if ((def.style & r::kDisabled) != 0) style |= WS_DISABLED;
  if ((def.style & r::kGroupStart) != 0) style |= WS_GROUP;
  switch (def.kind) {
    case ControlKind::GroupBox:
    case ControlKind::PushButton:
    case ControlKind::AutoCheckBox:
    case ControlKind::CheckBox:
    case ControlKind::AutoRadioButton:
      mask |= BS_TYPEMASK | BS_PUSHLIKE;
      style |= def.kind == ControlKind::GroupBox       ? BS_GROUPBOX
               : def.kind == ControlKind::PushButton   ? BS_PUSHBUTTON
               : def.kind == ControlKind::AutoCheckBox ? BS_AUTOCHECKBOX
               : def.kind == ControlKind::CheckBox     ? BS_CHECKBOX
                                                       : BS_AUTORADIOBUTTON;
      if ((def.style & r::kPushLike) != 0) style |= BS_PUSHLIKE;
      break;
    case ControlKind::Edit:
      mask |= ES_AUTOHSCROLL | ES_NUMBER | ES_UPPERCASE | ES_MULTILINE;
      if ((def.style & r::kScrolls) != 0) style |= ES_AUTOHSCROLL;
      if ((def.style & r::kDigitsOnly) != 0) style |= ES_NUMBER;
      if ((def.style & r::kUpperCase) != 0) style |= ES_UPPERCASE;
      break;
    case ControlKind::DropDownList:
    case ControlKind::DropDown:
      mask |= 3 | CBS_SORT;
      style |= def.kind == ControlKind::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN;
      break;
    case ControlKind::ListBox:
      mask |= LBS_NOSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_SORT;
      style |= LBS_NOSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      break;
    case ControlKind::Label:
      break;
  }
}

void CheckControl(HWND dialog, HWND control, const ControlDef& def) {
  const std::string name =
      def.caption.empty() ? "control " + std::to_string(def.id)
                          : "control " + std::to_string(def.id) + " \"" + std::string(def.caption) + "\"";
  Check(ClassOf(control) == ExpectedClass(def.kind), name + ": class " + ClassOf(control));
  if (def.id != r::kStaticId) {
    Check(::GetDlgCtrlID(control) == def.id, name + ": id " + std::to_string(::GetDlgCtrlID(control)));
  }
  // The dialog manager maps a control's position and its size each on its own.
  RECT expected{def.rect.x, def.rect.y, def.rect.width, def.rect.height};
  ::MapDialogRect(dialog, &expected);
  expected.right += expected.left;
  expected.bottom += expected.top;
  RECT actual{};
  ::GetWindowRect(control, &actual);
  ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&actual), 2);
  if (r::IsComboBox(def.kind)) {
    // A combo box's template height includes its dropped list.
    RECT dropped{};
    ::SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&dropped), 2);
    // Windows answers the whole dropped combo box. Wine answers a rectangle from the top of the
    // box as high as the list part alone, which is the rest of the template's height less the
    // closed box and up to the 2 px of the list's own border.
    const LONG closed = actual.bottom - actual.top;
    const LONG whole = dropped.bottom - actual.top;
    const LONG rest = expected.bottom - (actual.top + whole + closed);
    actual.bottom = actual.top + whole + (rest >= 0 && rest <= 2 ? closed + rest : 0);
  }
  char text[160];
  std::snprintf(text, sizeof text, ": at %ld,%ld %ldx%ld, template %ld,%ld %ldx%ld", actual.left, actual.top,
                actual.right - actual.left, actual.bottom - actual.top, expected.left, expected.top,
                expected.right - expected.left, expected.bottom - expected.top);
  Check(actual.left == expected.left && actual.top == expected.top && actual.right == expected.right &&
            actual.bottom == expected.bottom,
        name + text);
  LONG style = 0;
  LONG mask = 0;
  ExpectedStyle(def, style, mask);
  const LONG real = ::GetWindowLongA(control, GWL_STYLE);
  std::snprintf(text, sizeof text, ": style %08lX, expected %08lX in %08lX", real & mask, style, mask);
  Check((real & mask) == style, name + text);
  if (def.kind == ControlKind::Edit || def.kind == ControlKind::ListBox) {
    // A dialog with the 3D look draws a WS_BORDER control with a sunken client edge instead.
    const bool bordered =
        (real & WS_BORDER) != 0 || (::GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    Check(bordered, name + ": border");
  }
  const bool staticEdge = (::GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_STATICEDGE) != 0;
  Check(staticEdge == ((def.style & r::kStaticEdge) != 0), name + ": static edge");
  if (def.kind != ControlKind::Edit && !r::IsComboBox(def.kind) && def.kind != ControlKind::ListBox) {
    char caption[128] = {};
    ::GetWindowTextA(control, caption, sizeof caption);
    Check(std::string(caption) == def.caption, name + ": caption \"" + caption + "\"");
  }
}

void CheckVersion() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
  std::string data(size, '\0');
  Check(size > 0 && ::GetFileVersionInfoA(path, 0, size, data.data()), "version resource present");
  if (size == 0) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
    Check(fixed->dwFileVersionMS == 0x00030001 && fixed->dwFileVersionLS == 0x00040005,
          "file version 3.1.4.5");
    Check(fixed->dwProductVersionMS == 0x00030001 && fixed->dwProductVersionLS == 0x00040005,
          "product version 3.1.4.5");
  }
  const struct {
    const char* key;
    const char* value;
  } strings[] = {{"FileDescription", "Varnet Test Program"},
                 {"ProductName", "Varnet Test Program"},
                 {"InternalName", "Test"},
                 {"OriginalFilename", "Test.EXE"}};
  for (const auto& entry : strings) {
    char* value = nullptr;
    const std::string key = std::string("\\StringFileInfo\\040904B0\\") + entry.key;
    const bool found = ::VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length);
    Check(found && value != nullptr && std::string(value) == entry.value,
          std::string("version ") + entry.key);
  }
}

}  // namespace

int main() {
  ::InitCommonControls();
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  const r::DialogDef& def = r::MainDialog();
  const HWND dialog = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(def.id), nullptr, &QuietDialog, 0);
  if (dialog == nullptr) {
    std::printf("differs: dialog %d cannot be created\n", def.id);
    return 1;
  }

  char caption[128] = {};
  ::GetWindowTextA(dialog, caption, sizeof caption);
  Check(std::string(caption) == def.caption, std::string("dialog caption \"") + caption + "\"");
  RECT size{0, 0, def.width, def.height};
  ::MapDialogRect(dialog, &size);
  RECT client{};
  ::GetClientRect(dialog, &client);
  char text[128];
  std::snprintf(text, sizeof text, "dialog client %ldx%ld, template %ldx%ld", client.right, client.bottom,
                size.right, size.bottom);
  Check(client.right == size.right && client.bottom == size.bottom, text);
  const LONG style = ::GetWindowLongA(dialog, GWL_STYLE);
  const LONG wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
  Check((style & (wanted | WS_MAXIMIZEBOX | WS_THICKFRAME)) == wanted, "dialog styles");
  Check((::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0, "dialog WS_EX_APPWINDOW");
  LOGFONTA font{};
  ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
  Check(std::string(font.lfFaceName) == def.fontName, std::string("dialog font ") + font.lfFaceName);
  RECT units{0, 0, 4, 8};
  ::MapDialogRect(dialog, &units);
  std::printf("dialog base units %ld x %ld px, client %ld x %ld px\n", units.right, units.bottom,
              client.right, client.bottom);

  // The dialog's children, in template order.
  HWND child = ::GetWindow(dialog, GW_CHILD);
  int checked = 0;
  for (const ControlDef& control : def.controls) {
    if (child == nullptr) {
      Check(false, "fewer windows than template controls");
      break;
    }
    CheckControl(dialog, child, control);
    ++checked;
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
  Check(child == nullptr, "more windows than template controls");

  Check(::LoadIconA(instance, MAKEINTRESOURCEA(r::kIconId)) != nullptr, "icon 128");
  const HMENU menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(r::kContextMenuId));
  Check(menu != nullptr, "menu 130");
  if (menu != nullptr) {
    char item[64] = {};
    ::GetMenuStringA(menu, 0, item, sizeof item, MF_BYPOSITION);
    Check(std::string(item) == r::kContextMenuPopupCaption, std::string("menu pop-up \"") + item + "\"");
    const HMENU popup = ::GetSubMenu(menu, 0);
    ::GetMenuStringA(popup, 0, item, sizeof item, MF_BYPOSITION);
    Check(std::string(item) == r::kClearCommandCaption, std::string("menu item \"") + item + "\"");
    Check(
        ::GetMenuItemCount(popup) == 1 && ::GetMenuItemID(popup, 0) == static_cast<UINT>(r::kClearCommandId),
        "menu item command 32771");
    ::DestroyMenu(menu);
  }
  CheckVersion();

  // The manifest asks for common controls 6: the library loaded under that name is version 6.
  DLLVERSIONINFO version{};
  version.cbSize = sizeof version;
  const HMODULE comctl = ::LoadLibraryA("comctl32.dll");
  const auto getVersion = comctl != nullptr ? reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(
                                                  ::GetProcAddress(comctl, "DllGetVersion")))
                                            : nullptr;
  const bool answered = getVersion != nullptr && getVersion(&version) == S_OK;
  char library[MAX_PATH] = {};
  ::GetModuleFileNameA(comctl, library, MAX_PATH);
  std::printf("common controls %lu.%lu from %s\n", version.dwMajorVersion, version.dwMinorVersion, library);
  // Wine's library reports 5.81 whichever it is: the side-by-side folder it came from tells.
  const bool sideBySide =
      std::string(library).find("common-controls_6595b64144ccf1df_6.") != std::string::npos;
  Check(answered && (version.dwMajorVersion == 6 || sideBySide), "common controls version 6");

  ::DestroyWindow(dialog);
  std::printf("%d controls checked, %d differences\n", checked, g_failures);
  return g_failures == 0 ? 0 : 1;
}
