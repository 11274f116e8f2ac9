#pragma once

#include <QMainWindow>

// The main window: lives for the whole run and owns the program's state.
class VEK_Accueil : public QMainWindow
{
    Q_OBJECT
public:
    explicit VEK_Accueil(QWidget *parent = nullptr);
};
