#include "framework/win_app.h"

namespace varnet::framework {
namespace {
CWinApp* g_app = nullptr;
}  // namespace

CWinApp::CWinApp() {
  g_app = this;
  calls_.BindToCurrentThread();
}

CWinApp::~CWinApp() {
  if (g_app == this) {
    g_app = nullptr;
  }
}

bool CWinApp::InitInstance() { return true; }

bool CWinApp::OnIdle(long /*count*/) { return false; }

void CWinApp::AttachMessageQueue(MessageQueue* queue) {
  queue_ = queue;
  calls_.BindToCurrentThread();
}

bool CWinApp::PeekMessage() {
  if (!calls_.OnWindowThread()) {
    return false;
  }
  return calls_.HasPending() || (queue_ != nullptr && queue_->PeekMessage());
}

bool CWinApp::PumpMessage() {
  if (!calls_.OnWindowThread()) {
    return true;
  }
  if (calls_.RunOne()) {
    return true;
  }
  return queue_ == nullptr || queue_->PumpMessage();
}

void CWinApp::PostQuitMessage(int exitCode) {
  if (queue_ != nullptr && calls_.OnWindowThread()) {
    queue_->PostQuitMessage(exitCode);
  }
}

CWinApp* AfxGetApp() { return g_app; }

}  // namespace varnet::framework
