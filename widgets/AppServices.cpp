#include "widgets/AppServices.h"

AppServices* gAppServices = nullptr;
