// Random scales and values: the array colouring must give every value the
// colour the one-value colouring gives it. The input's first bytes make the
// scale (bounds and interval as raw doubles, so every kind of double comes
// up, or as small numbers scaled by a power of two, so that ordinary and
// tiny ranges are common); the rest are values, raw or placed in the range.
#include "components/scale/EscalaColors.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return size_ == 0; }
    template <class T>
    T Take()
    {
        T v{};
        const std::size_t n = size_ < sizeof v ? size_ : sizeof v;
        std::memcpy(&v, data_, n);
        data_ += n;
        size_ -= n;
        return v;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A raw double, or a small whole number times a power of two (two to the
// -1074 at the least, so the smallest ranges come up).
double Number(Bytes& in)
{
    const std::uint8_t how = in.Take<std::uint8_t>();
    if (how & 1)
        return in.Take<double>();
    const int mantissa = in.Take<std::int16_t>();
    const int exponent = int(in.Take<std::uint16_t>() % 2100) - 1074 - 50;
    return std::ldexp(double(mantissa), exponent);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes in(data, size);
    TEscalaColors s;
    s.Minimum = Number(in);
    s.Maximum = Number(in);
    const std::uint8_t flags = in.Take<std::uint8_t>();
    s.Interval = flags & 1 ? Number(in) : 0;
    s.Graduation = flags & 2 ? egThree : egTwo;
    s.GradColor1 = in.Take<std::uint32_t>();
    s.GradColor2 = in.Take<std::uint32_t>();

    std::vector<double> values;
    const double range = s.Maximum - s.Minimum;
    while (!in.Empty() && values.size() < 4096) {
        const std::uint8_t how = in.Take<std::uint8_t>();
        if (how & 1)
            values.push_back(in.Take<double>());
        else
            // A place in the range, in steps of about a 2^16th, and its
            // neighbours a few units in the last place away.
            values.push_back(std::nextafter(s.Minimum + range * (in.Take<std::uint16_t>() / 52000.0 - 0.1),
                                            how & 2 ? s.Maximum : s.Minimum));
    }
    std::vector<TColor> colours(values.size());
    // From an odd start too, so the values meet other neighbours in pairs.
    for (std::size_t from = 0; from < 2 && from <= values.size(); ++from) {
        s.ValuesToColors(values.data() + from, colours.data(), values.size() - from);
        for (std::size_t i = from; i < values.size(); ++i)
            if (colours[i - from] != s.ValueToColor(values[i])) {
                std::fprintf(stderr, "%a on %a..%a interval %a (graduation %d): %06X from the array, %06X alone\n",
                             values[i], s.Minimum, s.Maximum, s.Interval, int(s.Graduation),
                             unsigned(colours[i - from]), unsigned(s.ValueToColor(values[i])));
                std::abort();
            }
    }
    return 0;
}
