#pragma once
// The program's icon: drawn here, at every size asked for, so that its source is this code.
#include <QIcon>

class QLabel;
class QWidget;
class QRect;

// The icon of both editions: a priced sheet of concepts on a blue tile, with a gold seal.
QIcon iconoPrograma();

// A picture control showing the icon, named "picIcon", placed on its parent.
QLabel* dibujoDelIcono(QWidget* padre, const QRect& lugar);
