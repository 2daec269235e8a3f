#include "FrmZJTestP.h"

void RunPractice() {}
