// What the stopwatch's dialogs share: a fixed size laid out in pixels.
#pragma once

#include <QDialog>

// Fixes the dialog at the size its form gives and sets its font in pixels
// (the form's positions are pixels too, whatever the screen's resolution).
inline void FixDialogLayout(QDialog* dialog, int fontPixels)
{
    dialog->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(dialog->size());
    QFont font = dialog->font();
    font.setPixelSize(fontPixels);
    dialog->setFont(font);
}
