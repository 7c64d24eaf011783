#pragma once

#include <QtGlobal>

namespace LinkageSnapAlarm {
void LogFailedCheck(const char* szCondition, const char* szFile, int nLine);
} // namespace LinkageSnapAlarm

// A soft check for objects that may be missing, where the code then does nothing:
//     LSA_CHECK(pWindow) return;
// runs the statement after it, and logs where, when the condition is false.
#define LSA_CHECK(cond)   \
    if (Q_LIKELY(cond)) { \
    } else if (::LinkageSnapAlarm::LogFailedCheck(#cond, __FILE__, __LINE__), true)
