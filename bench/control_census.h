#pragma once

#include <QString>

class QMainWindow;

// How many controls of each kind a main window holds, as one line of text, and a bare window
// built from such a line: the trainer's start-up is compared with what Qt alone needs to show the
// same number of controls. The line reads
//   WIDTHxHEIGHT KIND:SHOWN:HIDDEN ... menus:ACTIONS,ACTIONS... baractions:N
// KIND is the Qt class the control is (or derives from), e.g. QPushButton. A control inside
// another control (a text box's scroll bars, a menu's items) is part of that control, not one of
// its own; panels (group boxes) are counted and their contents too.
QString censusOf(const QMainWindow& window);

// A plain QMainWindow of the size and with the controls a census line names, placed in a grid,
// without any logic. Kinds it does not know are left out.
void buildFromCensus(QMainWindow& window, const QString& census);
