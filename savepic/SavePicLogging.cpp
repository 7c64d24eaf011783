#include "savepic/SavePicLogging.h"

Q_LOGGING_CATEGORY(lcSavePic, "lsa.savepic", QtInfoMsg)
