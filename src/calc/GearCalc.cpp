#include "calc/GearCalc.h"
