#include "LsaLogging.h"

Q_LOGGING_CATEGORY(lcSavePic, "lsa.savepic", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSettings, "lsa.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCameraTree, "lsa.cameratree", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCards, "lsa.cards", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlayWindow, "lsa.playwindow", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAlarmView, "lsa.alarmview", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlugin, "lsa.plugin", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPictures, "lsa.pictures", QtInfoMsg)
