// The GP0 and GP1 groups: output enable, read and write of the adapter's two general-purpose
// pins. Both pins run the same routines; only the table below tells them apart.
#include <cstdint>
#include <optional>
#include <string>

#include "app/test_dlg.h"
#include "driver/response_texts.h"
#include "protocol/request_codes.h"
#include "protocol/request_layouts.h"
#include "resources/control_ids.h"
#include "runtime/format.h"
#include "runtime/numbers.h"

using namespace varnet;

namespace varnet::driver {

struct GpPin {
  int outputEnableId;
  int setId;
  int valueId;
  int CTestDlg::*outputEnable;
  std::uint32_t outputEnableCode;
  std::uint32_t getCode;
  std::uint32_t setCode;
  const char* outputEnableFailed;
  const char* valuePrefix;  // the pin value follows in decimal
  const char* getFailed;
  const char* setDone;
  const char* setFailed;
};

}  // namespace varnet::driver

namespace {

using varnet::driver::GpPin;

const GpPin kGp0 = {ids::kGp0OutputEnable,
                    ids::kGp0Set,
                    ids::kGp0Value,
                    &CTestDlg::m_bGp0OutputEnable,
                    driver::IOCTL_GP0_OUTPUT_ENABLE,
                    driver::IOCTL_GP0_GET_VALUE,
                    driver::IOCTL_GP0_SET_VALUE,
                    "GP0 output enable FAILED.",
                    "GP0 value: ",
                    "GET GP0 value FAILED.",
                    "SET GP0 value Successfully!",
                    "SET GP0 value FAILED."};

const GpPin kGp1 = {ids::kGp1OutputEnable,
                    ids::kGp1Set,
                    ids::kGp1Value,
                    &CTestDlg::m_bGp1OutputEnable,
                    driver::IOCTL_GP1_OUTPUT_ENABLE,
                    driver::IOCTL_GP1_GET_VALUE,
                    driver::IOCTL_GP1_SET_VALUE,
                    "GP1 output enable FAILED.",
                    "GP1 value: ",
                    "GET GP1 value FAILED.",
                    "SET GP1 value Successfully!",
                    "SET GP1 value FAILED."};

}  // namespace

void CTestDlg::GpOutputEnable(const driver::GpPin& pin) {
  if (m_hDriver == kInvalidHandle) {
    AddResponse(kNotOpened);
    return;
  }
  int& flag = this->*pin.outputEnable;
  flag = flag == 0 ? 1 : 0;
  // The mark and the Set controls follow the flag before the request goes out, and stay so when
  // it fails: the FAILED line is then the only sign.
  Host().SetCheck(pin.outputEnableId, flag);
  Host().EnableWindow(pin.setId, flag == 1);
  Host().EnableWindow(pin.valueId, flag == 1);
  driver::DriverRequests requests = Requests();
  if (!requests.GpOutputEnable(pin.outputEnableCode, flag == 1)) {
    AddResponse(pin.outputEnableFailed);
  }
}

void CTestDlg::GpGetValue(const driver::GpPin& pin) {
  if (m_hDriver == kInvalidHandle) {
    AddResponse(kNotOpened);
    return;
  }
  driver::DriverRequests requests = Requests();
  const std::optional<std::uint8_t> value = requests.GpGetValue(pin.getCode);
  if (!value) {
    AddResponse(pin.getFailed);
    return;
  }
  AddResponse(runtime::Format("%s%d", pin.valuePrefix, static_cast<int>(*value)));
}

void CTestDlg::GpSetValue(const driver::GpPin& pin) {
  // No channel test: Set is reachable only while the output is enabled, but the channel may have
  // closed since, and the request then reports the failure.
  const std::optional<std::string> valueText = FilledIn(pin.valueId, "Please fill in 1 or 0.");
  if (!valueText) {
    return;
  }
  const auto value = static_cast<std::uint8_t>(runtime::Atoi(*valueText) & 0xFF);
  driver::DriverRequests requests = Requests();
  AddResponse(requests.GpSetValue(pin.setCode, value) ? pin.setDone : pin.setFailed);
}

void CTestDlg::OnGp0OutputEnable() { GpOutputEnable(kGp0); }
void CTestDlg::OnGp0GetValue() { GpGetValue(kGp0); }
void CTestDlg::OnGp0SetValue() { GpSetValue(kGp0); }
void CTestDlg::OnGp1OutputEnable() { GpOutputEnable(kGp1); }
void CTestDlg::OnGp1GetValue() { GpGetValue(kGp1); }
void CTestDlg::OnGp1SetValue() { GpSetValue(kGp1); }
