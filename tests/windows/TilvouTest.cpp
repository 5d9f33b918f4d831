#include "windows/Tilvou.h"

#include "stopwatch/Ttilvo.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Sound.h"
#include "windows/Motor.h"
#include "windows/Tilvo3u.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>
#include <QtTest/QTest>

#include <filesystem>

namespace {

// A main window shown on the offscreen screen, in a scratch directory, on a
// fake clock with beeps recorded.
class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() / ("tilvo-main-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        window_ = std::make_unique<TTilvoF>();
        TilvoF = window_.get();
        window_->ShowFullScreen();
        QApplication::processEvents();
        beeps_.Clear();
    }
    void TearDown() override
    {
        window_.reset();
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }

    // A key press as the window gets it when no menu shortcut takes it.
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(window_.get(), &press);
    }
    // A key typed on the active window: menu shortcuts take it first.
    void Shortcut(int key, Qt::KeyboardModifiers mods)
    {
        QTest::keyClick(window_->windowHandle(), Qt::Key(key), mods);
    }
    bool Running() const { return Motor->Reloj->Enabled(); }

    FakeTickClock clock_{1000};
    BeepRecorder beeps_;
    std::filesystem::path dir_, old_;
    std::unique_ptr<TTilvoF> window_;
};

}  // namespace

TEST_F(MainWindow, LetterKeysClickTheirMenuItemsOnceWithOrWithoutShift)
{
    Key(Qt::Key_E);
    EXPECT_TRUE(Running());
    clock_.Advance(3200);
    Key(Qt::Key_E, Qt::ShiftModifier);  // already running: nothing, no beep
    Key(Qt::Key_L);
    Key(Qt::Key_C);
    Key(Qt::Key_P, Qt::ShiftModifier);
    EXPECT_FALSE(Running());
    EXPECT_EQ(Motor->Transcurrido, 3200);
    Key(Qt::Key_I);
    EXPECT_EQ(Motor->Transcurrido, 0);
    EXPECT_EQ(beeps_.Beeps(), (std::vector<unsigned>{0, 0x20, 0x30, 0, 0x10}));

    // Other keys do nothing at all.
    for (int key : {int(Qt::Key_F1), int(Qt::Key_5), int(Qt::Key_Z), int(Qt::Key_S), int(Qt::Key_T), int(Qt::Key_Space)})
        Key(key);
    EXPECT_EQ(beeps_.Beeps().size(), 5u);
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindow, ShortcutsWorkWithTheBarShownHiddenAndAfterADialog)
{
    Shortcut(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(Running());
    window_->Image1MouseMove(200);  // hide the bar
    EXPECT_FALSE(window_->menuBar()->isVisible());
    Shortcut(Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(Running());

    // Open the keys window and close it from inside its own event loop.
    QTimer::singleShot(0, [] { Tilvo3F->reject(); });
    window_->Teclasdefuncion1Click();
    EXPECT_EQ(Tilvo3F, nullptr);
    Shortcut(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(Running());
    Shortcut(Qt::Key_L, Qt::ControlModifier);  // lap beeps on every press: shows a double delivery
    EXPECT_EQ(beeps_.Beeps(), (std::vector<unsigned>{0, 0, 0x30, 0x20}));
    // Every Ctrl shortcut of the menu is the window's too.
    for (int key : {Qt::Key_I, Qt::Key_E, Qt::Key_P, Qt::Key_L, Qt::Key_C, Qt::Key_A, Qt::Key_S, Qt::Key_T}) {
        bool found = false;
        for (QAction* a : window_->actions())
            found |= a->shortcut() == QKeySequence(key | Qt::ControlModifier);
        EXPECT_TRUE(found) << key;
    }
}

TEST_F(MainWindow, MenuBarFollowsThePointerWithOneLayoutPerChange)
{
    const int before = window_->Relayouts();
    window_->Image1MouseMove(19);  // shown already: nothing
    EXPECT_EQ(window_->Relayouts(), before);
    window_->Image1MouseMove(20);
    EXPECT_FALSE(window_->MenuShown());
    EXPECT_EQ(window_->Relayouts(), before + 1);
    window_->Image1MouseMove(500);
    EXPECT_EQ(window_->Relayouts(), before + 1);
    window_->Image1MouseMove(19);
    EXPECT_TRUE(window_->MenuShown());
    EXPECT_TRUE(window_->menuBar()->isVisible());
    EXPECT_EQ(window_->Relayouts(), before + 2);
    // The picture follows the client area and the engine's bitmap follows it.
    EXPECT_EQ(Motor->Imagen->Picture().Height(), window_->Image1->Height());
}

TEST_F(MainWindow, EscapeClosesAtOnceWithoutWritingSettings)
{
    Key(Qt::Key_Escape);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(std::filesystem::exists("tilvo.ini"));
}

TEST_F(MainWindow, TheTimerTickUpdatesAndPaints)
{
    Key(Qt::Key_E);
    clock_.Advance(65432);
    window_->Timer1->Tick();
    EXPECT_EQ(Motor->Texto, "01:05:432");
    EXPECT_EQ(window_->Image1->Cursor(), crNone);
}
