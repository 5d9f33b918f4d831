// The settings dialog "Ajustes del cronómetro": every stored setting of the
// stopwatch. The controls are loaded from the engine when the dialog is
// shown and written back to it on OK; whichever way the dialog closes, the
// engine then writes its settings file.
//
// The controls keep the names of the layout (FontComboBox1, Panel2 with
// SpeedButton2, Edit1 ... Edit10, CheckBox1 ... CheckBox4, RadioGroup1,
// BitBtn1 ... BitBtn3, Label1, StaticText1 ... StaticText25, GroupBox1 ...
// GroupBox5) as their object names.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QFrame;
class QLineEdit;

namespace Ui {
class TTilvo2F;
}

class TTilvo2F : public QDialog {
    Q_OBJECT
public:
    explicit TTilvo2F(QWidget* Owner = nullptr);
    ~TTilvo2F() override;

    // The colour a colour button holds: the colour of its panel. The value
    // is kept exactly as given (system colours included); the panel shows
    // its RGB.
    static TColor ColorPanel(const QFrame* Panel);
    static void PonerColorPanel(QFrame* Panel, TColor Color);

    // When set, stands in for the colour chooser: it gets the preset colour
    // and gives the chosen one, or nothing when the user cancels.
    static std::function<std::optional<TColor>(TColor Inicial)> ElegirColor;

    // Every way of closing ends here; the settings file is written once.
    void done(int r) override;

public slots:
    void FormShow();
    void FormClose();
    void FontComboBox1Change();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void SpeedButton10Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void BitBtn1Click();
    void BitBtn3Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    // Writes the controls into the engine in order; a box that is not a
    // whole number throws, leaving what came before it applied.
    void Aplicar();
    // Runs the colour chooser for a panel; true when a colour was chosen.
    bool ElegirColorPanel(QFrame* Panel);
    void PonerColorMuestra(TColor Color);
    int IndiceEstilo() const;
    void PonerIndiceEstilo(int Indice);

    std::unique_ptr<Ui::TTilvo2F> ui;
    bool cerrado_ = false;
};

extern TTilvo2F* Tilvo2F;
