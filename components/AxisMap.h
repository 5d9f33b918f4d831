// The mapping between world values on one axis and pixel positions.
#pragma once

// Maps the world interval W1..W2 linearly onto the pixel interval P1..P2.
// A y axis that grows upward passes its bottom pixel as P1.
//
// The map never fails: when the world interval is empty or not finite every
// value goes to P1, and when the pixel interval is empty every pixel goes to
// W1. Pixel positions are doubles; ToPixelInt rounds the distance from P1
// and saturates at the int range, so any value, infinities and NaN
// included, gives a pixel the canvas can take (NaN gives P1).
class TAxisMap {
public:
    constexpr TAxisMap() = default;
    constexpr TAxisMap(double w1, double w2, int p1, int p2) : w1_(w1), w2_(w2), p1_(p1), p2_(p2) {}

    void SetWorld(double w1, double w2)
    {
        w1_ = w1;
        w2_ = w2;
    }
    void SetPixels(int p1, int p2)
    {
        p1_ = p1;
        p2_ = p2;
    }
    double W1() const { return w1_; }
    double W2() const { return w2_; }
    int P1() const { return p1_; }
    int P2() const { return p2_; }

    // Pixels from P1 to P2, negative when P2 lies before P1.
    int PixelSpan() const;
    // The world interval can be divided by.
    bool WorldUsable() const;

    double ToPixel(double w) const;
    int ToPixelInt(double w) const;
    double ToWorld(double p) const;

private:
    double Fraction(double w) const;

    double w1_ = 0;
    double w2_ = 1;
    int p1_ = 0;
    int p2_ = 1;
};
