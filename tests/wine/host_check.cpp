// host-check.exe: the Win32 host's own paths on the real dialog, with lines put into the lists
// directly: the context menu's Clear over each list and elsewhere, lines handed over by another
// thread reaching the list through the window's message queue, the newest line kept in view on a
// list without selection, posted actions waiting for a handler's pump, the edit boxes' own
// filters and width limit, and Enter ending the dialog after the data exchange.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/test_app.h"
#include "app/test_dlg.h"
#include "host_win32/win32_host.h"
#include "platform_virtual/time_source.h"
#include "platform_virtual/virtual_bench.h"
#include "platform_win32/win32_platform.h"
#include "platform_win32/windows_api.h"

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) {
    ++g_failures;
  }
}

using Lines = std::vector<std::string>;

}  // namespace

int main() {
  varnet::bench::SteadyTimeSource time;
  varnet::bench::VirtualBench bench(time);
  varnet::win32::Win32System system;
  varnet::win32::Win32Files files;
  varnet::win32::Win32Shell shell;
  const varnet::Platform services{bench, bench, system, bench, files, shell};

  CTestApp app;
  std::unique_ptr<varnet::framework::ScriptHost> host = varnet::win32::MakeScriptHost(app);
  {
    CTestDlg dialog(services);
    host->Open(dialog);

    dialog.AddResponse("r1");
    dialog.AddResult("x1");
    dialog.AddResult("x2");
    host->ContextMenu(1002, true);
    Check(host->Lines(1002).empty() && host->Lines(1001) == Lines{"r1"} && g_nContextList == 1,
          "Clear over the Result list empties only that list");
    dialog.AddResult("x3");
    host->ContextMenu(1001, false);
    Check(host->Lines(1001) == Lines{"r1"} && g_nContextList == 2, "a dismissed menu clears nothing");
    host->ContextMenu(1001, true);
    Check(host->Lines(1001).empty() && host->Lines(1002) == Lines{"x3"},
          "Clear over the Command Response list");
    dialog.AddResponse("r2");
    host->ContextMenu(1015, true);
    Check(host->Lines(1001) == Lines{"r2"} && g_nContextList == 2, "no menu over an edit box");

    // A line from another thread waits until the window's thread has appended it; here the
    // window's thread only runs its plain message loop, so the line comes through the message
    // that wakes it.
    bool delivered = false;
    std::thread monitor([&] {
      dialog.AddResponse("from another thread");
      delivered = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (host->Lines(1001).size() < 2 && std::chrono::steady_clock::now() < deadline) {
      MSG message;
      while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
      }
      ::Sleep(1);
    }
    monitor.join();
    Check(delivered && host->Lines(1001) == Lines{"r2", "from another thread"},
          "a line from another thread arrives through the window's message loop");

    const HWND window = ::FindWindowA(nullptr, "Varnet Test Program Ver 3.1.4.5");
    const HWND resultList = ::GetDlgItem(window, 1002);
    // The newest line of a list is current and in view whenever the window can paint: once the
    // runner has let the window handle its messages, and at a pump inside a handler.
    const auto newestInView = [&](HWND list, LRESULT count, const char* where) {
      RECT client{};
      ::GetClientRect(list, &client);
      const LRESULT top = ::SendMessageA(list, LB_GETTOPINDEX, 0, 0);
      const LRESULT itemHeight = ::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
      const LRESULT visible = itemHeight > 0 ? client.bottom / itemHeight : 0;
      std::printf("     %s: %ld lines, top line %ld, %ld lines in view\n", where, static_cast<long>(count),
                  static_cast<long>(top), static_cast<long>(visible));
      return ::SendMessageA(list, LB_GETCOUNT, 0, 0) == count && top > 0 && top + visible >= count &&
             ::SendMessageA(list, LB_GETCURSEL, 0, 0) == count - 1 && ::IsWindowVisible(list) != 0;
    };
    for (int i = 0; i < 200; ++i) {
      dialog.AddResult("line " + std::to_string(i));
    }
    host->RunPendingMessages();
    Check(newestInView(resultList, 201, "Result list after the runner's idling"),
          "the newest line of a list is current and in view");

    bool inViewAtPump = false;
    host->Post([&] {
      for (int i = 200; i < 500; ++i) {
        dialog.AddResult("line " + std::to_string(i));
      }
      dialog.PumpMessages();
      inViewAtPump = newestInView(resultList, 501, "Result list at a pump inside a handler");
    });
    dialog.PumpMessages();
    Check(inViewAtPump, "inside a handler, the newest line is in view at each pump");
    Lines expected{"x3"};
    for (int i = 0; i < 500; ++i) {
      expected.push_back("line " + std::to_string(i));
    }
    Check(host->Lines(1002) == expected, "every line is in the list, in order");

    bool ran = false;
    host->Post([&] { ran = true; });
    host->RunPendingMessages();
    Check(!ran, "a posted action waits while the runner idles");
    dialog.PumpMessages();
    Check(ran, "a handler's message pump carries out a posted action");

    host->Type(1049, "1a2b3");
    Check(host->Show(1049).text == "123", "a digits-only box drops other characters");
    host->Type(1063, "fe");
    Check(host->Show(1063).text == "FE", "the upper-case box capitalises");
    host->Type(1015, "12345678901234567890");
    Check(host->Show(1015).text == "12345678901234567890",
          "a script's typing is not stopped at the edge of a box that does not scroll");
    host->Type(1012, "12345678901234567890");
    Check(host->Show(1012).text == "12345678901234567890", "nor at the edge of the editable rate box");
    host->Type(1016, "A-DRIVER-NAME-LONGER-THAN-THE-BOX");
    Check(host->Show(1016).text == "A-DRIVER-NAME-LONGER-THAN-THE-BOX", "a scrolling box takes any length");

    host->Type(1015, "77");
    const Lines responses = host->Lines(1001);
    host->PressKey(varnet::framework::Key::Enter);
    Check(host->Ended() && dialog.m_strLen == "77", "Enter copies the boxes into the members and ends");
    Check(host->Lines(1002) == expected && host->Lines(1001) == responses,
          "the lists' lines stay readable once the dialog has ended");
    host->Close();
  }
  host.reset();
  std::printf("%d failures\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
