#include "host_qt/list_box.h"

#include <limits>

namespace varnet::qt {

int LineListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : published_; }

QVariant LineListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= published_) {
    return {};
  }
  const std::string& line = lines_[static_cast<std::size_t>(index.row())];
  // Bytes as the ANSI code page shows them, one character each.
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}

int LineListModel::Append(std::string line) {
  if (lines_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return -1;  // LB_ERR: the list cannot take another line
  }
  lines_.push_back(std::move(line));
  return static_cast<int>(lines_.size()) - 1;
}

void LineListModel::Clear() {
  beginResetModel();
  lines_.clear();
  published_ = 0;
  endResetModel();
}

bool LineListModel::Publish() {
  const int total = static_cast<int>(lines_.size());
  if (published_ >= total) {
    return false;
  }
  beginInsertRows(QModelIndex(), published_, total - 1);
  published_ = total;
  endInsertRows();
  return true;
}

ListBox::ListBox(QWidget* parent) : QListView(parent) {
  setModel(&model_);
  // Every line is one row of the font's height: the view can place row N without measuring the
  // rows before it.
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTextElideMode(Qt::ElideNone);
  setWordWrap(false);
  // The lists have no scrollable width: a long line is cut at the right edge.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  updateTimer_.setSingleShot(true);
  updateTimer_.setInterval(kViewUpdateMs);
  QObject::connect(&updateTimer_, &QTimer::timeout, this, [this] { UpdateView(); });
}

int ListBox::AddString(std::string line) {
  const int index = model_.Append(std::move(line));
  ScheduleUpdate();
  return index;
}

void ListBox::SetCurSel(int index) {
  current_ = index >= 0 && index < static_cast<int>(model_.Lines().size()) ? index : -1;
  ScheduleUpdate();
}

void ListBox::ResetContent() {
  updateTimer_.stop();
  current_ = -1;
  model_.Clear();
}

void ListBox::ScheduleUpdate() {
  if (!updateTimer_.isActive()) {
    updateTimer_.start();
  }
}

void ListBox::UpdateView() {
  updateTimer_.stop();
  model_.Publish();
  if (current_ >= 0) {
    scrollTo(model_.index(current_), QAbstractItemView::EnsureVisible);
  }
}

}  // namespace varnet::qt
