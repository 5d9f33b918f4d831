// The gallery of the drawing components: one tab per component, each one
// working, and a status bar for what the pointer is over.
#pragma once

#include <QMainWindow>

class QTabWidget;

class TPelmoraF : public QMainWindow {
public:
    explicit TPelmoraF(QWidget* Parent = nullptr);

    QTabWidget* Tabs;
};
