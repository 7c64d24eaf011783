#pragma once

#include <QLoggingCategory>

// The plug-in's logging categories, one per library folder, all under the
// prefix "lsa." so that QT_LOGGING_RULES="lsa.*=true" turns on everything.
Q_DECLARE_LOGGING_CATEGORY(lcSavePic)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcCameraTree)
Q_DECLARE_LOGGING_CATEGORY(lcCards)
Q_DECLARE_LOGGING_CATEGORY(lcPlayWindow)
Q_DECLARE_LOGGING_CATEGORY(lcAlarmView)
Q_DECLARE_LOGGING_CATEGORY(lcPlugin)
// Pictures refused before decoding, whichever folder asked.
Q_DECLARE_LOGGING_CATEGORY(lcPictures)
