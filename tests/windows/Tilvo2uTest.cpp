#include "windows/Tilvo2u.h"

#include "stopwatch/Ttilvo.h"
#include "toolkit/controls/Controls.h"
#include "windows/Motor.h"

#include <QCheckBox>
#include <QFontComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest/QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

template <class T>
T* Control(QObject* owner, const char* name)
{
    auto* c = owner->findChild<T*>(name);
    if (!c)
        throw std::runtime_error(std::string("no control ") + name);
    return c;
}

QLineEdit* Edit(QObject* d, int n)
{
    return Control<QLineEdit>(d, ("Edit" + std::to_string(n)).c_str());
}

QFrame* Panel(QObject* d, int n)
{
    return Control<QFrame>(d, ("Panel" + std::to_string(n)).c_str());
}

std::string Contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

constexpr TColor kMarca = 0x00FF00FF;

// A real engine on a small display, in a folder of its own so that the
// settings file starts absent.
class Ajustes : public testing::Test {
protected:
    void SetUp() override
    {
        std::string plantilla = (fs::temp_directory_path() / "tilvo-ajustes-XXXXXX").string();
        ASSERT_NE(mkdtemp(plantilla.data()), nullptr);
        carpeta_ = plantilla;
        anterior_ = fs::current_path();
        fs::current_path(carpeta_);

        imagen_.SetBounds(0, 0, 320, 240);
        reloj_.SetEnabled(false);
        circuito_.Picture().Bitmap().SetSize(40, 30);
        motor_ = std::make_unique<TTilvo>(&imagen_, &reloj_, &circuito_);
        Motor = motor_.get();
        Application->OnError = [this](const std::string& m) { errores_.push_back(m); };
    }

    void TearDown() override
    {
        Application->OnError = nullptr;
        TTilvo2F::ElegirColor = nullptr;
        Motor = nullptr;
        fs::current_path(anterior_);
        fs::remove_all(carpeta_);
    }

    // Marks the display so that a re-layout shows.
    void MarcarPantalla() { imagen_.Canvas().SetPixel(0, 0, kMarca); }
    bool Redibujado() { return imagen_.Canvas().Pixels(0, 0) != kMarca; }

    TTilvo& motor() { return *motor_; }

    fs::path carpeta_, anterior_;
    TImage imagen_;
    TTimer reloj_;
    TImage circuito_;
    std::unique_ptr<TTilvo> motor_;
    std::vector<std::string> errores_;
};

}  // namespace

TEST_F(Ajustes, StopTimeRoundTripAndUntouchedSettingsSurviveOk)
{
    // Settings away from the defaults, all of which OK must give back as
    // they were when nothing is edited.
    motor().Fuente.Name = "Times New Roman";  // no installed font has this name
    motor().Modo = 0;
    motor().AgujaCentesimas->MostrarNumeros = false;
    motor().AgujaSegundos->ColorEsfera = clBtnFace;  // a system colour stays one
    motor().Sonido = false;
    motor().InicioCircuito = -1442;
    motor().GuardarAjustes();
    const std::string antes = Contents("tilvo.ini");
    fs::remove("tilvo.ini");

    {
        TTilvo2F d;
        d.show();
        EXPECT_EQ(Control<QFontComboBox>(&d, "FontComboBox1")->currentText(), QString("Times New Roman"));
        EXPECT_TRUE(Control<QRadioButton>(&d, "RadioButton1")->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(&d, "CheckBox3")->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(&d, "CheckBox2")->isChecked());
        EXPECT_EQ(Edit(&d, 10)->text(), QString("-1442"));
        MarcarPantalla();
        Control<QPushButton>(&d, "BitBtn1")->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_FALSE(d.isVisible());
    }
    EXPECT_TRUE(Redibujado());
    EXPECT_EQ(Contents("tilvo.ini"), antes);
    EXPECT_TRUE(errores_.empty());

    {
        TTilvo2F d;
        d.show();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Edit(&d, 2 + i)->text(), QString("0"));
        Edit(&d, 2)->setText("0");
        Edit(&d, 3)->setText("1");
        Edit(&d, 4)->setText("30");
        Edit(&d, 5)->setText("500");
        Control<QPushButton>(&d, "BitBtn1")->click();
    }
    EXPECT_EQ(motor().TiempoParada, 90500);

    TTilvo2F d;
    d.show();
    EXPECT_EQ(Edit(&d, 2)->text(), QString("0"));
    EXPECT_EQ(Edit(&d, 3)->text(), QString("1"));
    EXPECT_EQ(Edit(&d, 4)->text(), QString("30"));
    EXPECT_EQ(Edit(&d, 5)->text(), QString("500"));
}

TEST_F(Ajustes, TextThatIsNoNumberStopsTheSequenceThereAndStillSaves)
{
    TTilvo2F d;
    d.show();
    TTilvo2F::ElegirColor = [](TColor) { return std::optional<TColor>(0x00123456); };
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})
        Control<QToolButton>(&d, ("SpeedButton" + std::to_string(n)).c_str())->click();
    Control<QFontComboBox>(&d, "FontComboBox1")->setEditText("Courier");
    Edit(&d, 1)->setText("40");
    Edit(&d, 3)->setText("2");
    Control<QRadioButton>(&d, "RadioButton1")->setChecked(true);
    Edit(&d, 6)->setText("3");
    Edit(&d, 7)->setText("12a");
    Edit(&d, 8)->setText("4");
    for (const char* c : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"})
        Control<QCheckBox>(&d, c)->setChecked(false);
    Edit(&d, 9)->setText("9");
    Edit(&d, 10)->setText("100");
    MarcarPantalla();
    Control<QPushButton>(&d, "BitBtn1")->click();

    ASSERT_EQ(errores_.size(), 1u);
    EXPECT_THAT(errores_[0], testing::StartsWith("'12a' is not a valid integer value"));
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);

    // Applied: everything before the seconds dial's divisions.
    EXPECT_EQ(motor().Fuente.Name, "Courier");
    EXPECT_EQ(motor().Fuente.Color, 0x00123456);
    EXPECT_EQ(motor().Fuente.Size(), 40);
    EXPECT_EQ(motor().TiempoParada, 120000);
    EXPECT_EQ(motor().Modo, 0);
    for (TAguja* a : {motor().AgujaMinutos.get(), motor().AgujaSegundos.get(), motor().AgujaCentesimas.get()}) {
        EXPECT_EQ(a->Fuente.Color, 0x00123456);
        EXPECT_EQ(a->ColorEsfera, 0x00123456);
        EXPECT_EQ(a->ColorAguja, 0x00123456);
    }
    EXPECT_EQ(motor().AgujaMinutos->Divisiones, 3);
    // Not applied: the rest, and no re-layout.
    EXPECT_EQ(motor().AgujaSegundos->Divisiones, 12);
    EXPECT_EQ(motor().AgujaCentesimas->Divisiones, 10);
    EXPECT_TRUE(motor().AgujaMinutos->MostrarNumeros);
    EXPECT_TRUE(motor().Sonido);
    EXPECT_EQ(motor().ColorMovil, clLime);
    EXPECT_EQ(motor().ColorEstela, clRed);
    EXPECT_EQ(motor().RadioMovil, 5);
    EXPECT_EQ(motor().InicioCircuito, 0);
    EXPECT_FALSE(Redibujado());

    // The file holds what the engine now holds.
    const std::string escrito = Contents("tilvo.ini");
    motor().GuardarAjustes();
    EXPECT_EQ(escrito, Contents("tilvo.ini"));
    EXPECT_EQ(escrito.substr(0, escrito.find('\n', escrito.find('\n') + 1)), "Courier\n1193046 40");
}

TEST_F(Ajustes, CancelAfterIgualarColoresChangesNothingButRewritesTheFile)
{
    motor().AgujaMinutos->ColorAguja = clYellow;
    motor().GuardarAjustes();
    const std::string antes = Contents("tilvo.ini");
    fs::remove("tilvo.ini");

    TTilvo2F d;
    d.show();
    Control<QPushButton>(&d, "BitBtn3")->click();
    for (int n : {6, 9})
        EXPECT_EQ(TTilvo2F::ColorPanel(Panel(&d, n + 2)), clYellow);
    Edit(&d, 2)->setText("7");
    Edit(&d, 9)->setText("x");
    MarcarPantalla();
    Control<QPushButton>(&d, "BitBtn2")->click();

    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(motor().AgujaSegundos->ColorAguja, clRed);
    EXPECT_EQ(motor().AgujaCentesimas->ColorAguja, clRed);
    EXPECT_EQ(motor().TiempoParada, 0);
    EXPECT_FALSE(Redibujado());
    EXPECT_TRUE(errores_.empty());
    EXPECT_EQ(Contents("tilvo.ini"), antes);
}

TEST_F(Ajustes, EveryWayOfClosingWritesTheFileOnce)
{
    auto cerrar = std::vector<std::function<void(TTilvo2F&)>>{
        [](TTilvo2F& d) { Control<QPushButton>(&d, "BitBtn1")->click(); },
        [](TTilvo2F& d) { Control<QPushButton>(&d, "BitBtn2")->click(); },
        [](TTilvo2F& d) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&d, &esc);
        },
        [](TTilvo2F& d) { d.close(); },
    };
    for (std::size_t i = 0; i < cerrar.size(); ++i) {
        SCOPED_TRACE(i);
        TTilvo2F d;
        d.show();
        cerrar[i](d);
        EXPECT_FALSE(d.isVisible());
        EXPECT_TRUE(fs::exists("tilvo.ini"));
        fs::remove("tilvo.ini");
        // Closing what is closed already writes nothing more.
        d.reject();
        EXPECT_FALSE(fs::exists("tilvo.ini"));
    }
}

TEST_F(Ajustes, StartPositionMustLieInsideOneLap)
{
    const std::vector<std::pair<const char*, int>> casos{
        {"1443", 0}, {"-1443", 0}, {"1442", 1442}, {"-1442", -1442}, {"99999", 0}};
    for (const auto& [texto, guardado] : casos) {
        TTilvo2F d;
        d.show();
        Edit(&d, 10)->setText(texto);
        Control<QPushButton>(&d, "BitBtn1")->click();
        EXPECT_EQ(motor().InicioCircuito, guardado) << texto;
    }
}

TEST_F(Ajustes, StopTimeAndStartPositionOnlyWhileTheWatchReadsZero)
{
    motor().Transcurrido = 3200;
    TTilvo2F parado;
    parado.show();
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(Edit(&parado, n)->isEnabled(), n == 1 || (n >= 6 && n <= 9)) << n;
    parado.reject();

    motor().Transcurrido = 0;
    TTilvo2F aCero;
    aCero.show();
    for (int n = 1; n <= 10; ++n)
        EXPECT_TRUE(Edit(&aCero, n)->isEnabled()) << n;
}

TEST_F(Ajustes, PreviewFollowsColourAndFontButNotSize)
{
    TTilvo2F d;
    d.show();
    auto* muestra = Control<QLabel>(&d, "Label1");
    EXPECT_EQ(muestra->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(muestra->palette().color(QPalette::WindowText), QColor(150, 100, 255));
    EXPECT_EQ(muestra->font().pixelSize(), 20);

    // The chooser starts from the panel's colour; cancelling keeps it.
    std::vector<TColor> presets;
    std::optional<TColor> respuesta;
    TTilvo2F::ElegirColor = [&](TColor c) {
        presets.push_back(c);
        return respuesta;
    };
    Control<QToolButton>(&d, "SpeedButton2")->click();
    EXPECT_EQ(TTilvo2F::ColorPanel(Panel(&d, 2)), 0x00FF6496);
    respuesta = clYellow;
    Control<QToolButton>(&d, "SpeedButton2")->click();
    EXPECT_EQ(presets, (std::vector<TColor>{0x00FF6496, 0x00FF6496}));
    EXPECT_EQ(TTilvo2F::ColorPanel(Panel(&d, 2)), clYellow);
    EXPECT_EQ(muestra->palette().color(QPalette::WindowText), QColor(255, 255, 0));

    // Other colour buttons change their own panel only.
    respuesta = clAqua;
    Control<QToolButton>(&d, "SpeedButton12")->click();
    EXPECT_EQ(TTilvo2F::ColorPanel(Panel(&d, 12)), clAqua);
    EXPECT_EQ(TTilvo2F::ColorPanel(Panel(&d, 1)), clLime);
    EXPECT_EQ(muestra->palette().color(QPalette::WindowText), QColor(255, 255, 0));

    Control<QFontComboBox>(&d, "FontComboBox1")->setEditText("Liberation Mono");
    EXPECT_EQ(muestra->font().family(), QString("Liberation Mono"));
    Edit(&d, 1)->setText("8");
    EXPECT_EQ(muestra->font().pixelSize(), 20);
}

TEST_F(Ajustes, ColourButtonsShowTheirPanelColourInEveryState)
{
    TTilvo2F d;
    d.show();
    d.activateWindow();
    QApplication::processEvents();

    // Where the button lies, the panel's colour and nothing else.
    auto muestraSoloElColor = [](QFrame* panel, QToolButton* boton) {
        const QImage imagen = panel->grab(boton->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb color = panel->palette().color(QPalette::Window).rgb();
        for (int y = 0; y < imagen.height(); ++y)
            for (int x = 0; x < imagen.width(); ++x)
                if (imagen.pixel(x, y) != color)
                    return testing::AssertionFailure() << QColor(imagen.pixel(x, y)).name().toStdString() << " at "
                                                       << x << ", " << y << " instead of "
                                                       << QColor(color).name().toStdString();
        return testing::AssertionSuccess();
    };

    for (int n = 1; n <= 12; ++n) {
        SCOPED_TRACE(n);
        QFrame* panel = Panel(&d, n);
        auto* boton = Control<QToolButton>(&d, ("SpeedButton" + std::to_string(n)).c_str());
        EXPECT_TRUE(muestraSoloElColor(panel, boton));

        QTest::mouseMove(boton, boton->rect().center());
        ASSERT_TRUE(boton->underMouse());
        EXPECT_TRUE(muestraSoloElColor(panel, boton));

        boton->setDown(true);
        EXPECT_TRUE(muestraSoloElColor(panel, boton));
        boton->setDown(false);

        boton->setFocus();
        ASSERT_TRUE(boton->hasFocus());
        EXPECT_TRUE(muestraSoloElColor(panel, boton));
    }
}
