#pragma once

#include <QCoreApplication>
#include <QString>

namespace LinkageSnapAlarm {

// The lookup every module's key struct shares. The struct lists its keys with
// QT_TRANSLATE_NOOP (so that lupdate finds them), names their context in kContext
// and derives from this:
//     struct XTexts : TranslationKeys<XTexts> {
//         static constexpr const char* kContext = "X";
//         static constexpr const char* Close = QT_TRANSLATE_NOOP("X", "Close");
//     };
//     XTexts::Text(XTexts::Close);
template <class Keys>
struct TranslationKeys
{
    static QString Text(const char* szKey) { return QCoreApplication::translate(Keys::kContext, szKey); }
};

} // namespace LinkageSnapAlarm
