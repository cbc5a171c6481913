#include "defaults/DefaultsFile.h"
