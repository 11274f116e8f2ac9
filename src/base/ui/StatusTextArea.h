#pragma once

class QLabel;
class QScrollArea;
class QWidget;

// A window's status label inside a frame of fixed height: `lines` lines of
// text show, a longer text scrolls. The label keeps its frame's look and never
// takes height from the window's other contents, at any window size.
QScrollArea *StatusTextArea(QLabel *label, int lines, QWidget *parent);
