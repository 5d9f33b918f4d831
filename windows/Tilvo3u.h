// The window "Teclas de función del cronómetro": the single keys of the
// stopwatch, one line each, and "&Cerrar".
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TTilvo3F;
}

class TTilvo3F : public QDialog {
    Q_OBJECT
public:
    explicit TTilvo3F(QWidget* Owner = nullptr);
    ~TTilvo3F() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::unique_ptr<Ui::TTilvo3F> ui;
};

extern TTilvo3F* Tilvo3F;
