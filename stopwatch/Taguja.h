// One round dial with division marks, numbers and a needle, painted straight
// onto the bitmap of a picture control that belongs to someone else.
#pragma once

#include "toolkit/graphics/Graphics.h"

class TImage;

class TAguja {
public:
    // Draws the new dial at once, its needle at 0. escala is the value of
    // one full turn of the needle and must not be 0.
    TAguja(TImage* Imagen, int RadioX, int RadioY, int Escala);
    TAguja(const TAguja&) = delete;
    TAguja& operator=(const TAguja&) = delete;

    // Value 0, then the whole dial.
    void PonerCero();
    // Marks, numbers and the needle at the current value. The ground is not
    // cleared: the owner clears the picture first. More divisions than the
    // ring can show cost no more than those it can.
    void Dibujar();
    // Moves the needle: the old one is painted over in ColorFondo.
    void PonerValor(float Valor);
    void DibujarAguja(TColor Color);

    TPoint Centro;
    TColor ColorAguja;
    TColor ColorEsfera;
    TColor ColorFondo;
    int Divisiones;
    float Escala;
    bool MostrarNumeros;
    float Valor = 0;
    int RadioX;
    int RadioY;
    TImage* Imagen;
    // The numbers' font; its colour is the numbers' colour.
    TFont Fuente;
};
