#include "app/camera_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

std::uint32_t bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

Mat4 identity() {
    return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

void expectNear(const Mat4& a, const Mat4& b, float tolerance) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

TEST(CameraMath, NormalizeAndLookAt) {
    Vec3 n = normalize({3, 0, 4});
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_EQ(n.y, 0.0f);
    EXPECT_FLOAT_EQ(n.z, 0.8f);

    Mat4 v = lookAt({1, 2, 3}, {0, 0, -1}, {0, 1, 0});
    // x axis (1, 0, 0), y axis (0, -1, 0), direction as given, in the columns.
    EXPECT_EQ(v.at(0, 0), 1.0f);
    EXPECT_EQ(v.at(1, 1), -1.0f);
    EXPECT_EQ(v.at(2, 2), -1.0f);
    // Bottom row: plain dot products, not negated.
    EXPECT_EQ(v.at(3, 0), 1.0f);
    EXPECT_EQ(v.at(3, 1), -2.0f);
    EXPECT_EQ(v.at(3, 2), -3.0f);
    EXPECT_EQ(v.at(3, 3), 1.0f);
}

TEST(CameraMath, ProjectionKeepsItsExactConstants) {
    Mat4 p = perspectiveFromFov(90.0f);
    EXPECT_FLOAT_EQ(p.at(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(p.at(0, 0), 0.5625f);
    EXPECT_EQ(bits(p.at(2, 2)), 0xBF800347u);
    EXPECT_EQ(bits(p.at(3, 2)), 0xBDCCD20Bu);
    EXPECT_EQ(p.at(2, 3), -1.0f);
    EXPECT_EQ(p.at(3, 3), 0.0f);

    // The field of view goes through double with float roundings in between.
    float f = 61.3f;
    float rad = static_cast<float>(double(f) * 0.01745329251993889);
    float half = static_cast<float>(double(rad) * 0.5);
    EXPECT_EQ(perspectiveFromFov(f).at(1, 1), 1.0f / std::tan(half));

    Mat4 zero = perspectiveFromFov(0.0f);
    EXPECT_TRUE(std::isinf(zero.at(1, 1)));
}

TEST(CameraMath, RollTurnsTheXAxisIntoY) {
    Mat4 r = rollMatrix(90.0f);
    // Row vector (1, 0, 0, 1) times r is the first row plus the last.
    EXPECT_NEAR(r.at(0, 0) + r.at(3, 0), 0.0f, 1e-6f);
    EXPECT_NEAR(r.at(0, 1) + r.at(3, 1), 1.0f, 1e-6f);
    EXPECT_NEAR(r.at(0, 2) + r.at(3, 2), 0.0f, 1e-6f);
    EXPECT_EQ(r.at(0, 3) + r.at(3, 3), 1.0f);
    // The z row keeps t + c = 1 up to rounding.
    EXPECT_NEAR(r.at(2, 2), 1.0f, 1e-6f);
}

TEST(CameraMath, MultiplyAppliesTheLeftMatrixFirst) {
    Mat4 translate = identity();
    translate.at(3, 0) = 5.0f; // row-vector translation by x + 5
    Mat4 scale = identity();
    scale.at(0, 0) = 2.0f;
    // (x + 5) * 2 for translate x scale; x * 2 + 5 for scale x translate.
    EXPECT_EQ(multiply(translate, scale).at(3, 0), 10.0f);
    EXPECT_EQ(multiply(scale, translate).at(3, 0), 5.0f);
}

TEST(CameraMath, InverseRoundTrips) {
    expectNear(inverse(identity()), identity(), 0.0f);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> d(-3.0f, 3.0f);
    for (int n = 0; n < 50; ++n) {
        Mat4 m;
        for (float& e : m.m)
            e = d(rng);
        for (int i = 0; i < 4; ++i)
            m.at(i, i) += 8.0f; // diagonally dominant, hence regular
        expectNear(multiply(m, inverse(m)), identity(), 1e-5f);
        expectNear(multiply(inverse(m), m), identity(), 1e-5f);
    }
    // The camera's own matrices invert too.
    CameraMatrices cam = cameraFromTracks({1, 2, 3}, {0.3f, -0.2f, -1.0f}, 70.0f, 15.0f);
    expectNear(multiply(cam.modelView, inverse(cam.modelView)), identity(), 1e-5f);
    expectNear(multiply(cam.projection, inverse(cam.projection)), identity(), 1e-5f);
}

TEST(CameraMath, AllZeroTracksGiveNonFiniteMatricesWithoutFailing) {
    CameraMatrices cam = cameraFromTracks({0, 0, 0}, {0, 0, 0}, 0.0f, 0.0f);
    EXPECT_FALSE(std::isfinite(cam.modelView.at(0, 0)));
    EXPECT_TRUE(std::isinf(cam.projection.at(0, 0)));
    Mat4 inv = inverse(cam.modelView);
    EXPECT_FALSE(std::isfinite(inv.at(0, 0)));
}

} // namespace
