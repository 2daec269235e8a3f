#include "UpdateCheck.h"

void RunUpdateCheck() {}
