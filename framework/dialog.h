// The dialog base of our framework: a window built from a template by a host, with its command
// table (control notifications routed to handlers), dialog data exchange between controls and
// members, and the handlers of the base dialog (Enter, Escape, painting).
#pragma once

#include <functional>
#include <span>
#include <string>

#include "framework/dialog_host.h"

namespace varnet::framework {

// Control notification codes, with their Win32 values. A menu command arrives as kBnClicked (0).
inline constexpr int kBnClicked = 0;
inline constexpr int kCbnSelChange = 1;

// Results of a modal run (IDOK, IDCANCEL).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// One direction of a data exchange.
class CDataExchange {
 public:
  CDataExchange(DialogHost& host, bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_host(host) {}
  const bool m_bSaveAndValidate;  // true: controls into members
  DialogHost& m_host;
};

// A text binding: the control's window text.
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// A check-state binding: 1 checked, 0 not.
void DDX_Check(CDataExchange& dx, int id, int& value);

class CDialog;

// Starts and runs a dialog window: implemented by each host.
class ModalRunner {
 public:
  virtual ~ModalRunner() = default;
  // Creates the window from the dialog's template, attaches it, runs OnInitDialog, runs the
  // message loop until EndDialog, destroys the window (OnDestroy) and returns the result.
  // Returns -1 at once when the window cannot be created.
  virtual int RunModal(CDialog& dialog) = 0;
};

class CDialog {
 public:
  struct CommandEntry {
    int id;
    int notification;
    std::function<void(CDialog&)> handler;
  };

  explicit CDialog(int templateId) : templateId_(templateId) {}
  virtual ~CDialog() = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  int TemplateId() const { return templateId_; }

  // DoModal: runs the dialog through the application's host.
  int DoModal();

  // Called by the host.
  void Attach(DialogHost* host) { host_ = host; }
  bool IsAttached() const { return host_ != nullptr; }
  DialogHost& Host() { return *host_; }
  virtual bool OnInitDialog();
  // Routes a notification through the command table; false when no entry takes it.
  bool OnCommand(int id, int notification);
  virtual void OnOK();      // the default command (Enter): data exchange out, then end
  virtual void OnCancel();  // Escape and the close box: end at once
  virtual void OnDestroy() {}
  virtual void OnPaint();
  virtual IconHandle OnQueryDragIcon() { return 0; }
  virtual void OnContextMenu(int /*windowId*/, Point /*screenPoint*/) {}

  // UpdateData(TRUE) copies the controls into the members, UpdateData(FALSE) the other way.
  bool UpdateData(bool saveAndValidate = true);
  void EndDialog(int result);

 protected:
  virtual void DoDataExchange(CDataExchange& /*dx*/) {}
  virtual std::span<const CommandEntry> GetCommandTable() const { return {}; }

  template <class D>
  static CommandEntry Route(int id, int notification, void (D::*handler)()) {
    return CommandEntry{id, notification,
                        [handler](CDialog& dialog) { (static_cast<D&>(dialog).*handler)(); }};
  }

 private:
  int templateId_;
  DialogHost* host_ = nullptr;
};

}  // namespace varnet::framework
