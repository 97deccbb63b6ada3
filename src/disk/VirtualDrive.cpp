#include "VirtualDrive.h"
