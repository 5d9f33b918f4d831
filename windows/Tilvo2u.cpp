#include "windows/Tilvo2u.h"

#include "windows/Forms.h"

#include "ui_Tilvo2u.h"

#include "stopwatch/Ttilvo.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/system/SysUtils.h"
#include "windows/Motor.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QShowEvent>

#include <array>

TTilvo2F* Tilvo2F = nullptr;

std::function<std::optional<TColor>(TColor)> TTilvo2F::ElegirColor;

namespace {

// Where a panel keeps the colour it was given, untouched by the palette.
constexpr const char* kColor = "tilvoColor";

QColor AQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

int Entero(const QLineEdit* edit)
{
    return StrToInt(edit->text().toStdString());
}

QString Texto(int valor)
{
    return QString::number(valor);
}

// The flat button of a colour button draws nothing at all, so its panel's
// colour stays in sight under the pointer, while pressed and with focus
// too; only the pointer's shape tells that it can be clicked.
class SinCara : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* e) override
    {
        return e->type() == QEvent::Paint || QObject::eventFilter(objeto, e);
    }
};

}  // namespace

TTilvo2F::TTilvo2F(QWidget* Owner) : QDialog(Owner), ui(std::make_unique<Ui::TTilvo2F>())
{
    ui->setupUi(this);
    FixDialogLayout(this, 13);
    QFont muestra = ui->Label1->font();
    muestra.setPixelSize(20);
    ui->Label1->setFont(muestra);

    // A font name that no installed font has is still shown and kept.
    ui->FontComboBox1->setEditable(true);

    // The standard buttons take the platform's captions and pictures.
    QDialogButtonBox estandar;
    ui->BitBtn1->setText(estandar.addButton(QDialogButtonBox::Ok)->text());
    ui->BitBtn2->setText(estandar.addButton(QDialogButtonBox::Cancel)->text());
    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton, nullptr, this));
    ui->BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton, nullptr, this));

    auto* sinCara = new SinCara(this);
    for (QToolButton* boton : {ui->SpeedButton1, ui->SpeedButton2, ui->SpeedButton3, ui->SpeedButton4,
                               ui->SpeedButton5, ui->SpeedButton6, ui->SpeedButton7, ui->SpeedButton8,
                               ui->SpeedButton9, ui->SpeedButton10, ui->SpeedButton11, ui->SpeedButton12})
        boton->installEventFilter(sinCara);

    connect(ui->FontComboBox1, &QComboBox::currentTextChanged, this, &TTilvo2F::FontComboBox1Change);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TTilvo2F::SpeedButton1Click);
    connect(ui->SpeedButton2, &QToolButton::clicked, this, &TTilvo2F::SpeedButton2Click);
    connect(ui->SpeedButton3, &QToolButton::clicked, this, &TTilvo2F::SpeedButton3Click);
    connect(ui->SpeedButton4, &QToolButton::clicked, this, &TTilvo2F::SpeedButton4Click);
    connect(ui->SpeedButton5, &QToolButton::clicked, this, &TTilvo2F::SpeedButton5Click);
    connect(ui->SpeedButton6, &QToolButton::clicked, this, &TTilvo2F::SpeedButton6Click);
    connect(ui->SpeedButton7, &QToolButton::clicked, this, &TTilvo2F::SpeedButton7Click);
    connect(ui->SpeedButton8, &QToolButton::clicked, this, &TTilvo2F::SpeedButton8Click);
    connect(ui->SpeedButton9, &QToolButton::clicked, this, &TTilvo2F::SpeedButton9Click);
    connect(ui->SpeedButton10, &QToolButton::clicked, this, &TTilvo2F::SpeedButton10Click);
    connect(ui->SpeedButton11, &QToolButton::clicked, this, &TTilvo2F::SpeedButton11Click);
    connect(ui->SpeedButton12, &QToolButton::clicked, this, &TTilvo2F::SpeedButton12Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TTilvo2F::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->BitBtn3, &QPushButton::clicked, this, &TTilvo2F::BitBtn3Click);

    // In the middle of the screen, not of the owner.
    if (QScreen* pantalla = Owner ? Owner->screen() : QGuiApplication::primaryScreen())
        move(pantalla->geometry().center() - rect().center());
}

TTilvo2F::~TTilvo2F() = default;

TColor TTilvo2F::ColorPanel(const QFrame* Panel)
{
    return Panel->property(kColor).toInt();
}

void TTilvo2F::PonerColorPanel(QFrame* Panel, TColor Color)
{
    Panel->setProperty(kColor, int(Color));
    QPalette paleta = Panel->palette();
    paleta.setColor(QPalette::Window, AQColor(Color));
    Panel->setPalette(paleta);
}

void TTilvo2F::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Not when the window system shows it again after a minimise.
    if (!e->spontaneous()) {
        cerrado_ = false;
        FormShow();
    }
}

void TTilvo2F::done(int r)
{
    if (!cerrado_) {
        cerrado_ = true;
        FormClose();
    }
    QDialog::done(r);
}

void TTilvo2F::FormShow()
{
    if (!Motor)
        return;
    const TTilvo& motor = *Motor;

    const QString nombre = QString::fromStdString(motor.Fuente.Name);
    const int indice = ui->FontComboBox1->findText(nombre, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (indice >= 0)
        ui->FontComboBox1->setCurrentIndex(indice);
    ui->FontComboBox1->setEditText(nombre);
    PonerColorPanel(ui->Panel2, motor.Fuente.Color);
    ui->Edit1->setText(Texto(motor.Fuente.Size()));

    // The preview keeps its own size: only the face and the colours follow.
    QPalette paleta = ui->Label1->palette();
    paleta.setColor(QPalette::Window, AQColor(motor.ColorFondo));
    ui->Label1->setPalette(paleta);
    PonerColorMuestra(motor.Fuente.Color);
    FontComboBox1Change();

    const int h = TTilvo::SacarHoras(motor.TiempoParada);
    const int m = TTilvo::SacarMinutos(motor.TiempoParada, h);
    const int s = TTilvo::SacarSegundos(motor.TiempoParada, h, m);
    const int ms = TTilvo::SacarMilisegundos(motor.TiempoParada, h, m, s);
    ui->Edit2->setText(Texto(h));
    ui->Edit3->setText(Texto(m));
    ui->Edit4->setText(Texto(s));
    ui->Edit5->setText(Texto(ms));

    PonerIndiceEstilo(motor.Modo);

    const std::array<const TAguja*, 3> agujas{motor.AgujaMinutos.get(), motor.AgujaSegundos.get(),
                                               motor.AgujaCentesimas.get()};
    const std::array<std::array<QFrame*, 3>, 3> paneles{{{ui->Panel3, ui->Panel4, ui->Panel5},
                                                         {ui->Panel6, ui->Panel7, ui->Panel8},
                                                         {ui->Panel9, ui->Panel10, ui->Panel11}}};
    const std::array<QLineEdit*, 3> divisiones{ui->Edit6, ui->Edit7, ui->Edit8};
    const std::array<QCheckBox*, 3> numeros{ui->CheckBox1, ui->CheckBox2, ui->CheckBox3};
    for (std::size_t i = 0; i < agujas.size(); ++i) {
        PonerColorPanel(paneles[i][0], agujas[i]->Fuente.Color);
        PonerColorPanel(paneles[i][1], agujas[i]->ColorEsfera);
        PonerColorPanel(paneles[i][2], agujas[i]->ColorAguja);
    }
    for (std::size_t i = 0; i < agujas.size(); ++i)
        divisiones[i]->setText(Texto(agujas[i]->Divisiones));
    for (std::size_t i = 0; i < agujas.size(); ++i)
        numeros[i]->setChecked(agujas[i]->MostrarNumeros);
    ui->CheckBox4->setChecked(motor.Sonido);

    PonerColorPanel(ui->Panel1, motor.ColorMovil);
    PonerColorPanel(ui->Panel12, motor.ColorEstela);
    ui->Edit9->setText(Texto(motor.RadioMovil));
    ui->Edit10->setText(Texto(motor.InicioCircuito));

    // The automatic stop and the start position change only while the
    // watch reads zero.
    const bool aCero = motor.Transcurrido == 0;
    for (QLineEdit* edit : {ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit10})
        edit->setEnabled(aCero);
}

void TTilvo2F::FormClose()
{
    if (Motor)
        Motor->GuardarAjustes();
}

void TTilvo2F::FontComboBox1Change()
{
    QFont muestra = ui->Label1->font();
    muestra.setFamily(ui->FontComboBox1->currentText());
    ui->Label1->setFont(muestra);
}

void TTilvo2F::PonerColorMuestra(TColor Color)
{
    QPalette paleta = ui->Label1->palette();
    paleta.setColor(QPalette::WindowText, AQColor(Color));
    ui->Label1->setPalette(paleta);
}

bool TTilvo2F::ElegirColorPanel(QFrame* Panel)
{
    const TColor inicial = ColorPanel(Panel);
    std::optional<TColor> elegido;
    if (ElegirColor) {
        elegido = ElegirColor(inicial);
    } else {
        // Qt's own chooser, which speaks the program's language; the
        // desktop's would follow the desktop's.
        const QColor color =
            QColorDialog::getColor(AQColor(inicial), this, QString(), QColorDialog::DontUseNativeDialog);
        if (color.isValid())
            elegido = RGB(color.red(), color.green(), color.blue());
    }
    if (!elegido)
        return false;
    PonerColorPanel(Panel, *elegido);
    return true;
}

void TTilvo2F::SpeedButton1Click()
{
    ElegirColorPanel(ui->Panel1);
}

void TTilvo2F::SpeedButton2Click()
{
    if (ElegirColorPanel(ui->Panel2))
        PonerColorMuestra(ColorPanel(ui->Panel2));
}

void TTilvo2F::SpeedButton3Click()
{
    ElegirColorPanel(ui->Panel3);
}

void TTilvo2F::SpeedButton4Click()
{
    ElegirColorPanel(ui->Panel4);
}

void TTilvo2F::SpeedButton5Click()
{
    ElegirColorPanel(ui->Panel5);
}

void TTilvo2F::SpeedButton6Click()
{
    ElegirColorPanel(ui->Panel6);
}

void TTilvo2F::SpeedButton7Click()
{
    ElegirColorPanel(ui->Panel7);
}

void TTilvo2F::SpeedButton8Click()
{
    ElegirColorPanel(ui->Panel8);
}

void TTilvo2F::SpeedButton9Click()
{
    ElegirColorPanel(ui->Panel9);
}

void TTilvo2F::SpeedButton10Click()
{
    ElegirColorPanel(ui->Panel10);
}

void TTilvo2F::SpeedButton11Click()
{
    ElegirColorPanel(ui->Panel11);
}

void TTilvo2F::SpeedButton12Click()
{
    ElegirColorPanel(ui->Panel12);
}

void TTilvo2F::BitBtn3Click()
{
    const TColor numeros = ColorPanel(ui->Panel3);
    const TColor esfera = ColorPanel(ui->Panel4);
    const TColor aguja = ColorPanel(ui->Panel5);
    PonerColorPanel(ui->Panel6, numeros);
    PonerColorPanel(ui->Panel7, esfera);
    PonerColorPanel(ui->Panel8, aguja);
    PonerColorPanel(ui->Panel9, numeros);
    PonerColorPanel(ui->Panel10, esfera);
    PonerColorPanel(ui->Panel11, aguja);
}

void TTilvo2F::BitBtn1Click()
{
    // A box that is not a whole number ends the sequence where it stands:
    // what came before stays applied, the error box tells which text failed,
    // and the dialog still closes as after OK, so that the settings file
    // holds what the engine now holds.
    try {
        Aplicar();
    } catch (const std::exception& e) {
        if (Application)
            Application->ShowException(e);
    }
    accept();
}

void TTilvo2F::Aplicar()
{
    if (!Motor)
        return;
    TTilvo& motor = *Motor;

    motor.Fuente.Name = ui->FontComboBox1->currentText().toStdString();
    motor.Fuente.Color = ColorPanel(ui->Panel2);
    motor.Fuente.SetSize(Entero(ui->Edit1));

    const int ms = Entero(ui->Edit5);
    const int s = Entero(ui->Edit4);
    const int m = Entero(ui->Edit3);
    const int h = Entero(ui->Edit2);
    motor.TiempoParada = TTilvo::AMilisegundos(h, m, s, ms);

    motor.Modo = IndiceEstilo();

    const std::array<TAguja*, 3> agujas{motor.AgujaMinutos.get(), motor.AgujaSegundos.get(),
                                         motor.AgujaCentesimas.get()};
    const std::array<std::array<const QFrame*, 3>, 3> paneles{{{ui->Panel3, ui->Panel4, ui->Panel5},
                                                               {ui->Panel6, ui->Panel7, ui->Panel8},
                                                               {ui->Panel9, ui->Panel10, ui->Panel11}}};
    const std::array<const QLineEdit*, 3> divisiones{ui->Edit6, ui->Edit7, ui->Edit8};
    const std::array<const QCheckBox*, 3> numeros{ui->CheckBox1, ui->CheckBox2, ui->CheckBox3};
    for (std::size_t i = 0; i < agujas.size(); ++i) {
        agujas[i]->Fuente.Color = ColorPanel(paneles[i][0]);
        agujas[i]->ColorEsfera = ColorPanel(paneles[i][1]);
        agujas[i]->ColorAguja = ColorPanel(paneles[i][2]);
    }
    for (std::size_t i = 0; i < agujas.size(); ++i)
        agujas[i]->Divisiones = Entero(divisiones[i]);
    for (std::size_t i = 0; i < agujas.size(); ++i)
        agujas[i]->MostrarNumeros = numeros[i]->isChecked();
    motor.Sonido = ui->CheckBox4->isChecked();

    motor.ColorMovil = ColorPanel(ui->Panel1);
    motor.ColorEstela = ColorPanel(ui->Panel12);
    motor.RadioMovil = Entero(ui->Edit9);

    // The marker's path is walked from the start position in both
    // directions; it must lie inside one lap.
    motor.InicioCircuito = Entero(ui->Edit10);
    if (motor.InicioCircuito <= -motor.LongitudCircuito || motor.InicioCircuito >= motor.LongitudCircuito)
        motor.InicioCircuito = 0;

    motor.Redibujar();
}

int TTilvo2F::IndiceEstilo() const
{
    if (ui->RadioButton1->isChecked())
        return 0;
    if (ui->RadioButton2->isChecked())
        return 1;
    return -1;
}

void TTilvo2F::PonerIndiceEstilo(int Indice)
{
    // A style the group does not offer (from a hand-edited file) leaves no
    // button chosen; exclusive buttons have to let go of their choice first.
    for (QRadioButton* boton : {ui->RadioButton1, ui->RadioButton2}) {
        boton->setAutoExclusive(false);
        boton->setChecked(false);
        boton->setAutoExclusive(true);
    }
    if (Indice == 0)
        ui->RadioButton1->setChecked(true);
    else if (Indice == 1)
        ui->RadioButton2->setChecked(true);
}
