#include "windows/Program.h"

#include "windows/Tilvo2u.h"

#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

QStringList Textos(const QWidget& w)
{
    QStringList textos;
    for (const QPushButton* b : w.findChildren<QPushButton*>())
        textos << b->text();
    for (const QLabel* l : w.findChildren<QLabel*>())
        textos << l->text();
    return textos;
}

}  // namespace

TEST(TraduccionQt, StandardDialogsSpeakSpanishAndMissingFilesLeaveEnglish)
{
    // A folder without translations: nothing installed, Qt's English stays.
    QTemporaryDir vacia;
    EXPECT_FALSE(CargarTraduccionQt(vacia.path()));
    EXPECT_EQ(QColorDialog().windowTitle(), QString("Select Color"));

    ASSERT_TRUE(CargarTraduccionQt()) << "Qt's Spanish translation is not installed";
    {
        QColorDialog elegir;
        EXPECT_EQ(elegir.windowTitle(), QString("Selecciona color"));
        const QStringList textos = Textos(elegir);
        for (const char* texto : {"Aceptar", "Cancelar", "&Añadir a los colores personalizados",
                                  "Tomar un color de la &pantalla", "Colores &básicos"})
            EXPECT_TRUE(textos.contains(QString::fromUtf8(texto))) << texto << " in " << textos.join(" | ").toStdString();

        // The settings dialog's standard buttons take the same captions.
        TTilvo2F ajustes;
        EXPECT_EQ(ajustes.findChild<QPushButton*>("BitBtn1")->text(), QString("Aceptar"));
        EXPECT_EQ(ajustes.findChild<QPushButton*>("BitBtn2")->text(), QString("Cancelar"));
    }

    // The other tests of this program see Qt as it was.
    qDeleteAll(qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly));
}
