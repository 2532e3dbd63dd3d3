// The vendor command pair, Set Line and the feature trio of the "USB Command" group.
#include <optional>
#include <string>

#include "app/test_dlg.h"
#include "driver/response_texts.h"
#include "protocol/request_layouts.h"
#include "resources/control_ids.h"
#include "runtime/format.h"
#include "runtime/numbers.h"

using namespace varnet;

namespace {

// Commands below 0x80 carry a parameter the adapter needs; from 0x80 on, an empty Parameters box
// sends 0. The comparison is signed, so a negative command still asks for one.
constexpr std::int32_t kFirstCommandWithoutParameter = 0x80;

}  // namespace

void CTestDlg::OnSetCommand() {
  const std::optional<std::string> commandText = FilledIn(ids::kCommand, "Please fill in command value.");
  if (!commandText) {
    return;
  }
  const std::int32_t command = runtime::StrtolHex(*commandText);
  const std::string parameterText = Host().GetWindowText(ids::kParameters);
  if (parameterText.empty() && command < kFirstCommandWithoutParameter) {
    AddResponse("Please fill in parameters.");
    return;
  }
  const std::int32_t parameter = runtime::StrtolHex(parameterText);
  driver::DriverRequests requests = Requests();
  AddResponse(requests.SetVendorCommand(command, parameter) ? "Set command Successfully!"
                                                            : "Set command FAILED.");
}

void CTestDlg::OnGetCommand() {
  const std::optional<std::string> commandText = FilledIn(ids::kCommand, "Please fill in command value.");
  if (!commandText) {
    return;
  }
  driver::DriverRequests requests = Requests();
  const std::optional<std::uint8_t> response = requests.GetVendorCommand(runtime::StrtolHex(*commandText));
  if (!response) {
    AddResponse("Get command FAILED.");
    return;
  }
  AddResponse("Get command Successfully!");
  AddResult(runtime::Format("Response: 0x%02X", static_cast<unsigned>(*response)));
}

void CTestDlg::OnSetLineState() {
  const std::optional<std::string> stateText = FilledIn(ids::kSetLine, "Please fill in state value.");
  if (!stateText) {
    return;
  }
  driver::DriverRequests requests = Requests();
  AddResponse(requests.SendControlState(runtime::StrtolHex(*stateText)) ? "SEND Ctrl State Successfully!"
                                                                        : "SEND Ctrl State FAILED.");
}

void CTestDlg::OnSetFeature() {
  if (m_hDriver == kInvalidHandle) {
    AddResponse(kNotOpened);
    return;
  }
  const std::optional<std::string> featureText = FilledIn(ids::kFeature, "Please fill in feature value.");
  if (!featureText) {
    return;
  }
  driver::DriverRequests requests = Requests();
  AddResponse(requests.SetFeature(runtime::StrtolHex(*featureText)) ? "SET feature Successfully!"
                                                                    : "SET feature FAILED.");
}

void CTestDlg::OnGetFeature() {
  if (m_hDriver == kInvalidHandle) {
    AddResponse(kNotOpened);
    return;
  }
  driver::DriverRequests requests = Requests();
  const std::optional<std::uint16_t> feature = requests.GetFeature();
  if (!feature) {
    AddResponse("GET feature FAILED.");
    return;
  }
  AddResponse(runtime::Format("Get feature: 0x%04X", static_cast<unsigned>(*feature)));
}

void CTestDlg::OnClearFeature() {
  if (m_hDriver == kInvalidHandle) {
    AddResponse(kNotOpened);
    return;
  }
  driver::DriverRequests requests = Requests();
  AddResponse(requests.ClearFeature() ? "Clear feature successfully." : "Clear feature FAILED.");
}
