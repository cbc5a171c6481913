#include "ui/about/SysInfo.h"
