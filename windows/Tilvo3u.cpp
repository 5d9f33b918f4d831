#include "windows/Tilvo3u.h"

#include "windows/Forms.h"

#include "ui_Tilvo3u.h"

#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

TTilvo3F* Tilvo3F = nullptr;

TTilvo3F::TTilvo3F(QWidget* Owner) : QDialog(Owner), ui(std::make_unique<Ui::TTilvo3F>())
{
    ui->setupUi(this);
    FixDialogLayout(this, 13);

    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton, nullptr, this));
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    if (QScreen* pantalla = Owner ? Owner->screen() : QGuiApplication::primaryScreen())
        move(pantalla->geometry().center() - rect().center());
}

TTilvo3F::~TTilvo3F() = default;

void TTilvo3F::keyPressEvent(QKeyEvent* e)
{
    // Nothing here takes typing, so the access key works without Alt too.
    if (e->key() == Qt::Key_C && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        ui->BitBtn1->click();
        return;
    }
    QDialog::keyPressEvent(e);
}
