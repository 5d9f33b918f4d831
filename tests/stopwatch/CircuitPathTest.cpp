#include "stopwatch/CircuitPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

TEST(CircuitPath, KnownPoints)
{
    const std::pair<int, TPoint> cases[] = {
        {0, {200, 11}},   {173, {373, 11}}, {174, {374, 11}},  {190, {386, 19}},  {220, {380, 45}},
        {272, {423, 57}}, {447, {477, 115}}, {721, {280, 72}}, {1442, {199, 11}},
        // Before the start the first straight goes on to the left, on the
        // last one; past the end counts as the start.
        {-50, {150, 11}}, {-1, {199, 11}},  {1443, {200, 11}},
    };
    for (auto [step, point] : cases)
        EXPECT_EQ(PuntoRecorrido(step), point) << "step " << step;
}

TEST(CircuitPath, ClosedLoopWithoutJumps)
{
    // Each section follows on from the one before, so a typing slip in the
    // table shows as a jump between neighbouring steps.
    for (int i = 1; i <= PasosRecorrido; ++i) {
        const TPoint a = PuntoRecorrido(i - 1), b = PuntoRecorrido(i % PasosRecorrido);
        ASSERT_LE(std::max(std::abs(a.X - b.X), std::abs(a.Y - b.Y)), 2) << "step " << i;
    }
    for (const TTramoCircuito& t : TramosCircuito) {
        if (t.Tipo == TTipoTramo::Recta) {
            EXPECT_NEAR(std::abs(t.Dx) + std::abs(t.Dy), 1.0f, 1e-5f) << t.Desde;
        }
        int paso = t.Desde;
        EXPECT_EQ(&TramoDePaso(paso), &t);
    }
}
