// The state of the processor's vector registers at the entries of drawing
// code.
#pragma once

// Our code is built for the vector instructions every x86-64 processor has.
// Code built for wider registers (Qt's raster paths and the C library's
// copies among them) may leave their upper halves in use; on some
// processors every one of our vector instructions then waits on those
// halves, and a plot drawn just after other drawing took three times as
// long to map its points. Clearing them costs a cycle; the entries of the
// heavy drawing code call this first. On a processor without the wider
// registers, or in code built for them, it does nothing.
inline void VectorStateClean()
{
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__AVX__)
    static const bool wide = __builtin_cpu_supports("avx");
    if (wide)
        __asm__ volatile("vzeroupper");
#endif
}
