// How long 1,000,000 lines take to reach the Result list of the Qt host (appended and made
// current, with the window's events handled as a pumping handler lets them run, and the view
// brought up to date at the end), against the time of merely formatting them into a vector.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/win_app.h"
#include "host_qt/qt_host.h"
#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "runtime/format.h"

namespace {

constexpr int kLines = 1'000'000;
constexpr int kLinesPerPump = 1'000;

std::string Line(int i) {
  return varnet::runtime::Format("Data[%d]: 0x%02X", i, static_cast<unsigned>(i & 0xFF));
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication application(argc, argv);

  // The floor: the same lines formatted into a vector, measured before and after the host's
  // run so that neither run alone pays for a cold start; the faster of the two counts.
  const auto formatOnly = [] {
    const auto begin = std::chrono::steady_clock::now();
    std::vector<std::string> lines;
    for (int i = 0; i < kLines; ++i) {
      lines.push_back(Line(i));
    }
    return Seconds(std::chrono::steady_clock::now() - begin);
  };
  double formatting = formatOnly();

  varnet::framework::CWinApp app;
  varnet::qt::QtHost host(app);
  varnet::framework::CDialog dialog(varnet::resources::kMainDialogId);
  host.Open(dialog);
  QApplication::processEvents();

  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLines; ++i) {
    const int index = host.AddString(varnet::ids::kResultList, Line(i));
    host.SetListCurSel(varnet::ids::kResultList, index);
    if (i % kLinesPerPump == kLinesPerPump - 1) {
      QApplication::processEvents();
    }
  }
  host.UpdateListViews();
  host.Window()->repaint();
  QApplication::processEvents();
  const double throughHost = Seconds(std::chrono::steady_clock::now() - start);

  formatting = std::min(formatting, formatOnly());

  const bool complete = host.Lines(varnet::ids::kResultList).size() == static_cast<std::size_t>(kLines);
  std::printf("lines:              %d\n", kLines);
  std::printf("formatting only:    %.3f s\n", formatting);
  std::printf("through the host:   %.3f s\n", throughHost);
  std::printf("ratio:              %.2f (goal: at most 2)\n", throughHost / formatting);
  host.Close();
  return complete ? 0 : 1;
}
