// Gives the enumerations' header its meta-object.
#include "toolkit/controls/ControlTypes.h"
