// What a host (Win32, Qt, headless) gives a dialog: its controls, addressed by id, and the
// window around them. Every call is made on the window's thread. The controls own their state:
// the dialog reads it back from here rather than keeping a copy.
#pragma once

#include <cstdint>
#include <string>

namespace varnet::framework {

using IconHandle = std::intptr_t;

struct Point {
  int x = 0;
  int y = 0;
};

struct Size {
  int width = 0;
  int height = 0;
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;

  // Window text of a control (GetWindowText / SetWindowText). For a combo box, the text of its
  // selection or, for an editable one, of its edit field.
  virtual std::string GetWindowText(int id) = 0;
  virtual void SetWindowText(int id, const std::string& text) = 0;

  // CB_GETCURSEL / CB_SETCURSEL: the selected item of a combo box, -1 for none.
  virtual int GetCurSel(int id) = 0;
  virtual void SetCurSel(int id, int index) = 0;
  // CB_GETLBTEXT: the text of item index of a combo box.
  virtual std::string GetItemText(int id, int index) = 0;

  // BM_GETCHECK / BM_SETCHECK: 1 checked, 0 not.
  virtual int GetCheck(int id) = 0;
  virtual void SetCheck(int id, int state) = 0;

  // EnableWindow / IsWindowEnabled.
  virtual void EnableWindow(int id, bool enable) = 0;
  virtual bool IsWindowEnabled(int id) = 0;

  // List boxes: LB_ADDSTRING (returns the new index, or -1 when the list cannot take the line),
  // LB_SETCURSEL (make the line current and bring it into view), LB_RESETCONTENT.
  virtual int AddString(int listId, const std::string& line) = 0;
  virtual void SetListCurSel(int listId, int index) = 0;
  virtual void ResetContent(int listId) = 0;

  // Shows pop-up menu `menuId` at a screen point with the dialog as owner and returns when it
  // closes. A chosen command reaches the dialog afterwards, through the message queue.
  virtual void TrackPopupMenu(int menuId, Point screenPoint) = 0;

  // Sets the window's large and small icon; loads an icon resource.
  virtual IconHandle LoadIcon(int resourceId) = 0;
  virtual void SetIcon(IconHandle icon, bool big) = 0;

  // Painting of the minimised window.
  virtual bool IsIconic() = 0;
  virtual Size GetClientSize() = 0;
  virtual Size GetIconMetrics() = 0;  // SM_CXICON, SM_CYICON
  // Begins painting, erases the icon's background (WM_ICONERASEBKGND), draws the icon at (x, y)
  // and ends painting.
  virtual void PaintIcon(IconHandle icon, int x, int y) = 0;
  // The base dialog's painting.
  virtual void DefaultPaint() = 0;

  // Ends the modal run with this result once the current message has been handled.
  virtual void EndDialog(int result) = 0;
};

}  // namespace varnet::framework
