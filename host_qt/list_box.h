// A list box that stays fast however many lines it holds. The lines live in our own vector; the
// view learns of new ones at most every kViewUpdateMs, in one batch, and then scrolls to the
// current line. A Qt item view re-lays out its rows on every change of its current item, so
// telling it of each line as it comes makes a long run of lines quadratic; a person watching sees
// no difference between the two.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QTimer>
#include <string>
#include <vector>

namespace varnet::qt {

class LineListModel final : public QAbstractListModel {
 public:
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Returns the new line's index.
  int Append(std::string line);
  void Clear();
  // Tells the views of every line appended since the last call; false when there was none.
  bool Publish();

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  int published_ = 0;  // the rows the views know of
};

class ListBox final : public QListView {
 public:
  static constexpr int kViewUpdateMs = 20;

  explicit ListBox(QWidget* parent);

  // LB_ADDSTRING, LB_SETCURSEL, LB_RESETCONTENT.
  int AddString(std::string line);
  void SetCurSel(int index);
  void ResetContent();

  int CurSel() const { return current_; }
  const std::vector<std::string>& Lines() const { return model_.Lines(); }

  // Brings the view up to date now (the timer does it otherwise).
  void UpdateView();

 private:
  void ScheduleUpdate();

  LineListModel model_;
  QTimer updateTimer_;
  int current_ = -1;
};

}  // namespace varnet::qt
