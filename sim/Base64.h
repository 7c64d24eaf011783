#pragma once

#include <string>
#include <string_view>

namespace AlarmSim {

// Decodes standard base64 (padding optional) straight into strOut; false for
// any other character or a bad length. A table-driven loop: pictures arrive as
// hundreds of kilobytes of base64 per alarm, and the general-purpose decoder
// took most of a message's decoding time.
bool DecodeBase64(std::string_view svText, std::string& strOut);

} // namespace AlarmSim
