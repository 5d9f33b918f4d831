#include "windows/Tilvo3u.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(TeclasDeFuncion, ListsTheSingleKeysInOrder)
{
    TTilvo3F w;
    auto* panel = w.findChild<QFrame*>("Panel1");
    ASSERT_NE(panel, nullptr);

    std::vector<QLabel*> teclas, textos;
    for (QLabel* l : panel->findChildren<QLabel*>())
        (l->font().bold() ? teclas : textos).push_back(l);
    auto porAltura = [](QLabel* a, QLabel* b) { return a->y() < b->y(); };
    std::sort(teclas.begin(), teclas.end(), porAltura);
    std::sort(textos.begin(), textos.end(), porAltura);

    const std::vector<std::pair<QString, QString>> esperado{
        {"A", "Despliega la ventana de ajustes del cronómetro."},
        {"C", "Hace continuar al cronómetro."},
        {"E", "Pone el cronómetro a cero y empieza a contar."},
        {"I", "Pone el cronómetro a cero."},
        {"L", "Para el cronómetro, pero sigue contando.."},
        {"P", "Para el cronómetro, y para de contar."},
        {"ESC", "Cierra el cronómetro."},
    };
    ASSERT_EQ(teclas.size(), esperado.size());
    ASSERT_EQ(textos.size(), esperado.size());
    for (std::size_t i = 0; i < esperado.size(); ++i) {
        EXPECT_EQ(teclas[i]->text(), esperado[i].first);
        EXPECT_EQ(textos[i]->text(), esperado[i].second);
        // Each description sits beside its key, a little lower.
        EXPECT_EQ(textos[i]->y(), teclas[i]->y() + 4);
    }
    EXPECT_EQ(teclas.back()->y() - teclas[5]->y(), 48);
}

TEST(TeclasDeFuncion, CerrarClosesByClickAndByItsKey)
{
    TTilvo3F porClick;
    porClick.show();
    auto* cerrar = porClick.findChild<QPushButton*>("BitBtn1");
    ASSERT_NE(cerrar, nullptr);
    EXPECT_EQ(cerrar->text(), QString("&Cerrar"));
    cerrar->click();
    EXPECT_FALSE(porClick.isVisible());

    TTilvo3F porTecla;
    porTecla.show();
    QKeyEvent c(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, "c");
    QApplication::sendEvent(&porTecla, &c);
    EXPECT_FALSE(porTecla.isVisible());
}
