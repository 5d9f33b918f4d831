// The About window: the credit, written letter by letter into a hidden
// picture, swings over the background while turning like a card about a
// vertical axis, its letters spinning, and comes to rest facing the viewer
// three times.
#pragma once

#include "toolkit/controls/Controls.h"
#include "toolkit/graphics/Graphics.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QPushButton;
class TQelImage;

// Where the text picture is stretched onto the stage at phase Angulo of
// PeriodoAngulo: full size (270 x 84) and centred when facing the viewer, a
// thin strip edge-on, and mirrored (left right of right) when showing its
// back. The centre swings Amplitud pixels either side of the stage's middle.
TRect RectanguloTexto(int Angulo, int PeriodoAngulo, int Amplitud);

class TAbout3F : public QDialog {
    Q_OBJECT
public:
    explicit TAbout3F(QWidget* Owner = nullptr);
    ~TAbout3F() override;

    TCustomPanel* Panel1;
    TImage* Image1;     // the background, hidden
    TImage* Image3;     // the stage, where each frame is composed
    TQelImage* Image2;  // the text picture, hidden; black is left out
    QPushButton* BitBtn1;
    TTimer* Timer1;  // one frame a tick
    TTimer* Timer2;  // the pause facing the viewer

    int Angulo = 270;
    int PasoAngulo = 1;
    int PeriodoAngulo = 360;
    int LongitudTexto = 0;
    std::array<TPoint, 200> PosLetras{};
    int Amplitud = 100;
    // The name line immediately followed by the heading above it.
    std::string TextoAutor;
    int Repeticiones = 0;

    // The characters of TextoAutor, one string each (the text is UTF-8).
    const std::vector<std::string>& Letras() const { return letras_; }

    void FormShow();
    void Timer1Timer(TObject* Sender);
    void Timer2Timer(TObject* Sender);
    void PintarTexto();
    void BitBtn1Click();
    void FormClose();

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void PositionSet();

    std::vector<std::string> letras_;
    bool shown_ = false;
};

extern TAbout3F* About3F;
