// The application object: shows the main dialog and ends when it closes.
#pragma once

#include "framework/win_app.h"
#include "platform/platform.h"

class CTestApp : public varnet::framework::CWinApp {
 public:
  CTestApp() = default;

  // The platform layer the dialog runs on; set by the program's entry point.
  void SetPlatform(const varnet::Platform* platform) { m_platform = platform; }

  bool InitInstance() override;

 private:
  const varnet::Platform* m_platform = nullptr;
};
