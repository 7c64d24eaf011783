#include "tovaris/AIColorManager.h"

#include "TesselGUIToolkit/UiSingletonImpl.h"

// The one instance every module reaches through CUiSingleton.
TESSEL_HOST_UI_SINGLETON(tovaris::CAIColorManager)
