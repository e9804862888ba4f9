// Help → About and the update check driven by tmUpdate.

#include "Unit1.h"

void TForm1::About1Click() {}

void TForm1::tmUpdateTimer() {}
