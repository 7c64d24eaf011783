#include "Kelmot/GroupManagerDeletage.h"

namespace Kelmot {

CGroupManagerDeletage::CGroupManagerDeletage() = default;
CGroupManagerDeletage::~CGroupManagerDeletage() = default;

} // namespace Kelmot
