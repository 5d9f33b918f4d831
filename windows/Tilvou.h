// The main window: one full-screen, borderless picture that the stopwatch
// engine paints, a menu bar that shows while the pointer is at the top edge,
// and the single keys that give the commands.
#pragma once

#include "toolkit/controls/Controls.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QMenu;
class TTilvo;

class TTilvoF : public QMainWindow {
    Q_OBJECT
public:
    explicit TTilvoF(QWidget* parent = nullptr);
    ~TTilvoF() override;

    // Shows the window over the whole screen, also where no window manager
    // would make it so.
    void ShowFullScreen();

    TImage* Image1;
    TImage* ImageRace;
    TTimer* Timer1;
    QMenu* Cronometro1;
    QMenu* Ayuda1;
    QAction* Inicializar1;
    QAction* Empezar1;
    QAction* Parar1;
    QAction* Lap1;
    QAction* Continuar1;
    QAction* Ajustes1;
    QAction* Salir1;
    QAction* Teclasdefuncion1;
    QAction* Acercade1;

    void FormShow();
    void FormResize();
    void FormKeyDown(int key);
    void Timer1Timer();
    void Image1MouseMove(int Y);
    void Ajustes1Click();
    void Teclasdefuncion1Click();
    void Acercade1Click();

    bool MenuShown() const { return menuShown_; }
    // How many times the display has been laid out again.
    int Relayouts() const { return relayouts_; }

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QAction* AddCommand(QMenu* menu, const char* caption, const QKeySequence& shortcut);
    void SetMenuShown(bool shown);
    template <class Dialog>
    void OpenModal(Dialog*& pointer);

    std::unique_ptr<TTilvo> engine_;
    bool shown_ = false;
    bool menuShown_ = true;
    int relayouts_ = 0;
};

extern TTilvoF* TilvoF;
