// A list box that stays fast however many lines it holds, as a Win32 list box does: the lines
// live in our own vector, and the widget draws only the rows in view. Qt's item views re-lay out
// every row whenever rows are added (and again on each change of the current item), so a long
// run of lines through one becomes quadratic. The view learns of new lines at most every
// kViewUpdateMs, in one batch, and then brings the current line into view; a person watching sees
// no difference.
#pragma once

#include <QAbstractScrollArea>
#include <QTimer>
#include <string>
#include <vector>

namespace varnet::qt {

class ListBox final : public QAbstractScrollArea {
 public:
  static constexpr int kViewUpdateMs = 20;

  explicit ListBox(QWidget* parent);

  // LB_ADDSTRING (the new index, or -1 when the list cannot take the line), LB_SETCURSEL,
  // LB_RESETCONTENT.
  int AddString(std::string line);
  void SetCurSel(int index);
  void ResetContent();

  int CurSel() const { return current_; }
  const std::vector<std::string>& Lines() const { return lines_; }

  // What the view shows: the lines it knows of, the first row in view, how many rows fit.
  int ShownCount() const { return shown_; }
  int TopIndex() const;
  int VisibleRows() const;

  // Brings the view up to date now (the timer does it otherwise).
  void UpdateView();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void ScheduleUpdate();
  void UpdateScrollRange();
  int RowHeight() const;

  std::vector<std::string> lines_;
  int shown_ = 0;  // the lines the view knows of
  int current_ = -1;
  QTimer updateTimer_;
};

}  // namespace varnet::qt
