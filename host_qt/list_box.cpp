#include "host_qt/list_box.h"

#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

namespace varnet::qt {

ListBox::ListBox(QWidget* parent) : QAbstractScrollArea(parent) {
  // The lists have no scrollable width: a long line is cut at the right edge.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  verticalScrollBar()->setSingleStep(1);
  updateTimer_.setSingleShot(true);
  updateTimer_.setInterval(kViewUpdateMs);
  QObject::connect(&updateTimer_, &QTimer::timeout, this, [this] { UpdateView(); });
}

int ListBox::AddString(std::string line) {
  if (lines_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return -1;  // LB_ERR
  }
  lines_.push_back(std::move(line));
  ScheduleUpdate();
  return static_cast<int>(lines_.size()) - 1;
}

void ListBox::SetCurSel(int index) {
  current_ = index >= 0 && index < static_cast<int>(lines_.size()) ? index : -1;
  ScheduleUpdate();
}

void ListBox::ResetContent() {
  updateTimer_.stop();
  lines_.clear();
  shown_ = 0;
  current_ = -1;
  UpdateScrollRange();
  viewport()->update();
}

int ListBox::RowHeight() const { return std::max(1, fontMetrics().height()); }

int ListBox::VisibleRows() const { return std::max(1, viewport()->height() / RowHeight()); }

int ListBox::TopIndex() const { return verticalScrollBar()->value(); }

void ListBox::ScheduleUpdate() {
  if (!updateTimer_.isActive()) {
    updateTimer_.start();
  }
}

void ListBox::UpdateScrollRange() {
  const int rows = VisibleRows();
  verticalScrollBar()->setPageStep(rows);
  verticalScrollBar()->setRange(0, std::max(0, shown_ - rows));
}

void ListBox::UpdateView() {
  updateTimer_.stop();
  shown_ = static_cast<int>(lines_.size());
  UpdateScrollRange();
  if (current_ >= 0) {
    // LB_SETCURSEL scrolls as little as brings the line into view.
    const int rows = VisibleRows();
    int top = TopIndex();
    if (current_ < top) {
      top = current_;
    } else if (current_ >= top + rows) {
      top = current_ - rows + 1;
    }
    verticalScrollBar()->setValue(top);
  }
  viewport()->update();
}

void ListBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  const int height = RowHeight();
  const int ascent = fontMetrics().ascent();
  const int top = TopIndex();
  const int last = std::min(shown_, top + VisibleRows() + 1);
  for (int row = top; row < last; ++row) {
    const std::string& line = lines_[static_cast<std::size_t>(row)];
    // Bytes as the ANSI code page shows them, one character each.
    painter.drawText(2, (row - top) * height + ascent,
                     QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
  }
}

void ListBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void ListBox::scrollContentsBy(int /*dx*/, int /*dy*/) { viewport()->update(); }

}  // namespace varnet::qt
