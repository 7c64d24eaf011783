#include "quorra/AlarmTransfer.h"

namespace quorra {

AlarmTransfer::AlarmTransfer() = default;
AlarmTransfer::~AlarmTransfer() = default;

} // namespace quorra
