#include "windows/Tilvou.h"

#include "stopwatch/Ttilvo.h"
#include "windows/Motor.h"
#include "windows/TABOUT3U.h"
#include "windows/Tilvo2u.h"
#include "windows/Tilvo3u.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

TTilvo* Motor = nullptr;
TTilvoF* TilvoF = nullptr;

namespace {
// The menu bar shows while the pointer is less than this from the top.
constexpr int kMenuZone = 20;
}  // namespace

TTilvoF::TTilvoF(QWidget* parent) : QMainWindow(parent)
{
    Q_INIT_RESOURCE(tilvo);
    setWindowTitle(QString::fromUtf8("Cronómetro"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowIcon(QIcon(":/pictures/tilvo.svg"));
    setFocusPolicy(Qt::StrongFocus);

    Image1 = new TImage(this);
    Image1->setObjectName("Image1");
    Image1->SetCursor(crNone);
    Image1->OnMouseMove = [this](TObject*, TShiftState, int, int Y) { Image1MouseMove(Y); };
    Image1->OnResize = [this](TObject*) { FormResize(); };
    setCentralWidget(Image1);

    ImageRace = new TImage(this);
    ImageRace->setObjectName("ImageRace");
    ImageRace->SetVisible(false);
    ImageRace->SetAutoSize(true);
    LoadBitmapFromResource(ImageRace->Picture().Bitmap(), ":/pictures/circuit.bmp");

    Timer1 = new TTimer(this);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(1);
    Timer1->OnTimer = [this](TObject*) { Timer1Timer(); };

    Cronometro1 = menuBar()->addMenu(QString::fromUtf8("&Cronómetro"));
    Inicializar1 = AddCommand(Cronometro1, "&Inicializar", Qt::CTRL | Qt::Key_I);
    Cronometro1->addSeparator();
    Empezar1 = AddCommand(Cronometro1, "&Empezar", Qt::CTRL | Qt::Key_E);
    Parar1 = AddCommand(Cronometro1, "&Parar", Qt::CTRL | Qt::Key_P);
    Lap1 = AddCommand(Cronometro1, "&Lap", Qt::CTRL | Qt::Key_L);
    Continuar1 = AddCommand(Cronometro1, "&Continuar", Qt::CTRL | Qt::Key_C);
    Cronometro1->addSeparator();
    Ajustes1 = AddCommand(Cronometro1, "&Ajustes", Qt::CTRL | Qt::Key_A);
    Cronometro1->addSeparator();
    Salir1 = AddCommand(Cronometro1, "&Salir", Qt::CTRL | Qt::Key_S);
    Ayuda1 = menuBar()->addMenu("&Ayuda");
    Teclasdefuncion1 = AddCommand(Ayuda1, "&Teclas de función", Qt::CTRL | Qt::Key_T);
    Ayuda1->addSeparator();
    Acercade1 = AddCommand(Ayuda1, "&Acerca de...", QKeySequence());

    connect(Inicializar1, &QAction::triggered, this, [] { Motor->Inicializar(); });
    connect(Empezar1, &QAction::triggered, this, [] { Motor->Empezar(); });
    connect(Parar1, &QAction::triggered, this, [] { Motor->Parar(); });
    connect(Lap1, &QAction::triggered, this, [] { Motor->Lap(); });
    connect(Continuar1, &QAction::triggered, this, [] { Motor->Continuar(); });
    connect(Ajustes1, &QAction::triggered, this, [this] { Ajustes1Click(); });
    connect(Salir1, &QAction::triggered, this, [this] { close(); });
    connect(Teclasdefuncion1, &QAction::triggered, this, [this] { Teclasdefuncion1Click(); });
    connect(Acercade1, &QAction::triggered, this, [this] { Acercade1Click(); });

    engine_ = std::make_unique<TTilvo>(Image1, Timer1, ImageRace);
    Motor = engine_.get();
}

TTilvoF::~TTilvoF()
{
    Timer1->SetEnabled(false);
    if (Motor == engine_.get())
        Motor = nullptr;
    if (TilvoF == this)
        TilvoF = nullptr;
}

QAction* TTilvoF::AddCommand(QMenu* menu, const char* caption, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    // Shortcuts of a hidden menu bar only work through the window itself.
    addAction(action);
    return action;
}

void TTilvoF::ShowFullScreen()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    showFullScreen();
    activateWindow();
    setFocus();
}

void TTilvoF::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
    // Lay the display out with the settings just read.
    FormResize();
}

void TTilvoF::FormShow() { Motor->LeerAjustes(); }

void TTilvoF::FormResize()
{
    if (!engine_)
        return;  // still being built
    ++relayouts_;
    Motor->Redibujar();
}

void TTilvoF::Timer1Timer()
{
    Motor->Actualizar();
    Motor->Pintar();
}

void TTilvoF::keyPressEvent(QKeyEvent* e)
{
    FormKeyDown(e->key());
}

// Letter keys click their menu items, so the items' own handlers run; the
// key is what counts, not the character it types.
void TTilvoF::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_A: Ajustes1->trigger(); break;
    case Qt::Key_C: Continuar1->trigger(); break;
    case Qt::Key_E: Empezar1->trigger(); break;
    case Qt::Key_I: Inicializar1->trigger(); break;
    case Qt::Key_L: Lap1->trigger(); break;
    case Qt::Key_P: Parar1->trigger(); break;
    default: break;
    }
}

void TTilvoF::Image1MouseMove(int Y)
{
    const bool wanted = Y < kMenuZone;
    if (wanted != menuShown_)
        SetMenuShown(wanted);
}

// Showing or hiding the bar changes the picture's size; the display is laid
// out again once, by the resize when there is one.
void TTilvoF::SetMenuShown(bool shown)
{
    menuShown_ = shown;
    const QSize before = Image1->size();
    menuBar()->setVisible(shown);
    if (layout())
        layout()->activate();
    if (Image1->size() == before)
        FormResize();
}

template <class Dialog>
void TTilvoF::OpenModal(Dialog*& pointer)
{
    pointer = new Dialog(this);
    pointer->exec();
    delete pointer;
    pointer = nullptr;
    // The window gets its keys and shortcuts back only when active again.
    activateWindow();
    setFocus();
}

void TTilvoF::Ajustes1Click() { OpenModal(Tilvo2F); }
void TTilvoF::Teclasdefuncion1Click() { OpenModal(Tilvo3F); }
void TTilvoF::Acercade1Click() { OpenModal(About3F); }
