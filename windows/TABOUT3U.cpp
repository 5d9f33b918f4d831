#include "windows/TABOUT3U.h"

#include "components/image/Qelutils.h"
#include "components/image/Tqelimage.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <numbers>

TAbout3F* About3F = nullptr;

// The pictures live in the windows library; a static library's resources
// are registered only when asked for. (At global scope: the macro declares
// the registering function where it stands.)
static void AboutResourcesInit()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(tilvo);
        return true;
    }();
    (void)done;
}

namespace {

constexpr int kAnchoCliente = 432;
constexpr int kAltoCliente = 207;
// One frame per display frame. A timer asked for every millisecond really
// ticks every millisecond here, and the swing would be over in half a
// second, most of its frames never reaching the screen.
constexpr int kIntervaloFotograma = 16;
const char* const kFondo = ":/pictures/about.bmp";
const std::string kNombre = "el equipo de Tilvo";
const std::string kCabecera = "Programado por";
// Lines of the credit in the text picture: the heading above, the name below.
constexpr int kYCabecera = 20;
constexpr int kYNombre = 60;

// One string per character; a byte that cannot start a UTF-8 sequence
// counts as a character of its own, as the text renderer takes it.
std::vector<std::string> Caracteres(const std::string& texto)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < texto.size();) {
        const auto b = static_cast<unsigned char>(texto[i]);
        std::size_t n = b >= 0xF0 && b < 0xF8 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 1;
        if (n > 1)
            for (std::size_t j = 1; j < n; ++j)
                if (i + j >= texto.size() || (static_cast<unsigned char>(texto[i + j]) & 0xC0) != 0x80) {
                    n = 1;
                    break;
                }
        out.push_back(texto.substr(i, n));
        i += n;
    }
    return out;
}

}  // namespace

TRect RectanguloTexto(int Angulo, int PeriodoAngulo, int Amplitud)
{
    // Phase, cosine and sine in single precision: edges that fall near a
    // half pixel (edge-on, at 90 and 270) round by it.
    const float a = static_cast<float>(Angulo * 2 * std::numbers::pi / PeriodoAngulo);
    const float c = std::cos(a);
    const float s = std::sin(a);
    const int xc = RoundInt(Amplitud * double(s) + 200);
    const int d = RoundInt((1 + double(c)) * 15 * 0.5);
    const int e = RoundInt(135 * double(c));
    const int f = RoundInt((1 + double(c)) * 70 * 0.5);
    return {xc + f - (e + 70), 30 - d, (e + 70) + xc - f, 84 + d};
}

TAbout3F::TAbout3F(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint)
{
    AboutResourcesInit();
    setWindowTitle("Acerca de...");
    setFixedSize(kAnchoCliente, kAltoCliente);
    QFont fuente("MS Sans Serif");
    fuente.setPixelSize(13);
    setFont(fuente);
    QPalette paleta = palette();
    const TColor cara = ColorToRGB(clBtnFace);
    paleta.setColor(QPalette::Window, QColor(GetRValue(cara), GetGValue(cara), GetBValue(cara)));
    setPalette(paleta);

    Panel1 = new TCustomPanel(this);
    Panel1->SetBounds(8, 8, 417, 153);
    Panel1->SetBevelInner(bvLowered);
    TFont& letra = Panel1->Font();
    letra.Name = "Times New Roman";
    letra.Style = fsBold;
    letra.Height = -17;
    letra.Color = clWhite;
    letra.Charset = ANSI_CHARSET;

    Image1 = new TImage(Panel1);
    Image1->SetBounds(8, 9, 400, 135);
    Image1->SetVisible(false);
    Image1->SetAutoSize(true);
    LoadBitmapFromResource(Image1->Picture().Bitmap(), kFondo);

    Image3 = new TImage(Panel1);
    Image3->SetBounds(8, 9, 400, 135);
    Image3->Canvas();  // the stage's bitmap, the control's size

    Image2 = new TQelImage(Panel1);
    Image2->SetVisible(false);
    Image2->SetBounds(16, 41, 270, 84);
    Image2->SetHeightWidth(84, 270);
    Image2->SetTransparent(true);
    // Only the letters go onto the stage, whatever lands in a corner.
    Image2->Picture().Bitmap().TransparentColor = clBlack;

    // The platform's own OK caption and, where its style shows them, icon.
    QDialogButtonBox muestra(QDialogButtonBox::Ok);
    QPushButton* ok = muestra.button(QDialogButtonBox::Ok);
    BitBtn1 = new QPushButton(ok->icon(), ok->text(), this);
    BitBtn1->setGeometry(163, 168, 105, 33);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { GuardedCall([&] { BitBtn1Click(); }); });

    Timer1 = new TTimer(this);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(kIntervaloFotograma);
    Timer1->OnTimer = [this](TObject* Sender) { Timer1Timer(Sender); };
    Timer2 = new TTimer(this);
    Timer2->SetEnabled(false);
    Timer2->SetInterval(4000);
    Timer2->OnTimer = [this](TObject* Sender) { Timer2Timer(Sender); };

    FormCreate();
}

TAbout3F::~TAbout3F()
{
    if (About3F == this)
        About3F = nullptr;
}

void TAbout3F::PositionSet()
{
    const QSize fuera = frameGeometry().size();
    move((Screen->Width() - fuera.width()) / 2, (Screen->Height() - fuera.height()) / 3);
}

void TAbout3F::FormCreate()
{
    PositionSet();
    TCanvas& canvas = Image2->Canvas();
    canvas.Font = Panel1->Font();

    Repeticiones = 0;
    Angulo = 270;
    PasoAngulo = 1;
    PeriodoAngulo = 360;
    Amplitud = 100;

    TextoAutor = kNombre + kCabecera;
    letras_ = Caracteres(TextoAutor);
    // The table of positions has room for so many characters and no more.
    if (letras_.size() > PosLetras.size())
        letras_.resize(PosLetras.size());
    LongitudTexto = int(letras_.size());
    const int n = int(Caracteres(kNombre).size());

    // Each line is centred on its own width; its letters stand where they
    // would in the upright line.
    const int w = Image2->Width();
    const int x1 = (w - canvas.TextWidth(kNombre)) / 2;
    const int x2 = (w - canvas.TextWidth(kCabecera)) / 2;
    int avance = 0;
    for (int k = 0; k < LongitudTexto; ++k) {
        if (k == n)
            avance = 0;
        PosLetras[k] = k < n ? TPoint{x1 + avance, kYNombre} : TPoint{x2 + avance, kYCabecera};
        avance += canvas.TextWidth(letras_[k]);
    }
}

void TAbout3F::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        // The frame's size may be known by now.
        PositionSet();
        GuardedCall([&] { FormShow(); });
    }
}

void TAbout3F::FormShow()
{
    Image3->Canvas().Draw(0, 0, Image1->Picture().Bitmap());
    Timer1->SetEnabled(true);
}

void TAbout3F::Timer1Timer(TObject*)
{
    // A tick already on its way when the timer stopped draws nothing.
    if (!Timer1->Enabled())
        return;
    TCanvas& escena = Image3->Canvas();
    escena.Draw(0, 0, Image1->Picture().Bitmap());
    const TRect destino = RectanguloTexto(Angulo, PeriodoAngulo, Amplitud);
    PintarTexto();
    escena.StretchDraw(destino, Image2->Picture().Bitmap());
    if (Angulo == 0) {
        // Facing the viewer, upright and full size: hold it there a while.
        Timer1->SetEnabled(false);
        Timer2->SetEnabled(true);
    }
    Angulo = (Angulo + PasoAngulo) % PeriodoAngulo;
}

void TAbout3F::PintarTexto()
{
    TCanvas& canvas = Image2->Canvas();
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = clBlack;
    canvas.Brush.Style = bsSolid;
    canvas.Rectangle(0, 0, Image2->Width(), Image2->Height());
    // The letters spin eight times as fast as the card turns, so they are
    // upright whenever it faces the viewer.
    const double giro = (Angulo * 8) % 360;
    const int letras = std::min(LongitudTexto, int(letras_.size()));
    for (int k = 0; k < letras; ++k)
        Image2->TextOutRot(PosLetras[k].X, PosLetras[k].Y, giro, letras_[k]);
}

void TAbout3F::Timer2Timer(TObject*)
{
    if (!Timer2->Enabled())
        return;
    if (Repeticiones >= 2) {
        Timer2->SetEnabled(false);
        return;
    }
    Timer1->SetEnabled(true);
    Timer2->SetEnabled(false);
    ++Repeticiones;
}

void TAbout3F::BitBtn1Click() { accept(); }

void TAbout3F::FormClose()
{
    Timer1->SetEnabled(false);
    Timer2->SetEnabled(false);
}

void TAbout3F::done(int r)
{
    FormClose();
    QDialog::done(r);
}

void TAbout3F::closeEvent(QCloseEvent* e)
{
    FormClose();
    QDialog::closeEvent(e);
}
