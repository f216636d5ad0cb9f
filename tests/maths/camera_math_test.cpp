#include "maths/camera_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

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
    // 60 degrees: 1 / tan 30 = sqrt 3.
    EXPECT_FLOAT_EQ(perspectiveFromFov(60.0f).at(1, 1), 1.7320508f);

    Mat4 zero = perspectiveFromFov(0.0f);
    EXPECT_TRUE(std::isinf(zero.at(1, 1)));
}

// Reference camera in double precision, written from the definition: the roll turns the x-y
// plane by the roll angle, lookAt takes x = |d x up|, y = |d x x| and d itself as its axes.
struct Mat4d {
    double m[4][4];
};

Mat4d referenceRoll(double degrees) {
    const double a = degrees * 3.14159265358979323846 / 180.0, c = std::cos(a), s = std::sin(a);
    return {{{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

Mat4d referenceLookAt(const double p[3], const double d[3]) {
    auto cross = [](const double* a, const double* b, double* r) {
        r[0] = a[1] * b[2] - a[2] * b[1];
        r[1] = a[2] * b[0] - a[0] * b[2];
        r[2] = a[0] * b[1] - a[1] * b[0];
        const double n = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
        for (int i = 0; i < 3; ++i)
            r[i] /= n;
    };
    const double up[3] = {0, 1, 0};
    double x[3], y[3];
    cross(d, up, x);
    cross(d, x, y);
    Mat4d v{};
    for (int r = 0; r < 3; ++r) {
        v.m[r][0] = x[r];
        v.m[r][1] = y[r];
        v.m[r][2] = d[r];
        v.m[3][0] += p[r] * x[r];
        v.m[3][1] += p[r] * y[r];
        v.m[3][2] += p[r] * d[r];
    }
    v.m[3][3] = 1;
    return v;
}

// Row vectors: the left factor applies first.
Mat4d product(const Mat4d& a, const Mat4d& b) {
    Mat4d r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

void expectMatches(const Mat4& actual, const Mat4d& expected, const std::string& what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.at(r, c), expected.m[r][c],
                        2e-6 * std::max(1.0, std::fabs(expected.m[r][c])))
                << what << " [" << r << "][" << c << "]";
}

TEST(CameraMath, RollAndComposedCameraMatchTheDoubleReference) {
    const double rolls[] = {0, 30, 90, -45, 135, 200};
    const double directions[][3] = {{0.3, -0.2, -1.0}, {1.0, 0.5, 0.25}, {-2.0, 1.5, 3.0}};
    const double positions[][3] = {{1, 2, 3}, {-4, 0.5, 7}, {0.25, -6, -1}};
    for (double roll : rolls) {
        const std::string rollName = "roll " + std::to_string(roll);
        expectMatches(rollMatrix(static_cast<float>(roll)), referenceRoll(roll), rollName);
        for (int i = 0; i < 3; ++i) {
            const double* p = positions[i];
            const double* d = directions[i];
            CameraMatrices cam = cameraFromTracks({float(p[0]), float(p[1]), float(p[2])},
                                                  {float(d[0]), float(d[1]), float(d[2])}, 60.0f,
                                                  static_cast<float>(roll));
            expectMatches(cam.modelView, product(referenceLookAt(p, d), referenceRoll(roll)),
                          rollName + ", camera " + std::to_string(i));
        }
    }
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
    // The projection, with its zero corner, inverts too.
    Mat4 p = perspectiveFromFov(70.0f);
    expectNear(multiply(p, inverse(p)), identity(), 1e-5f);
}

TEST(CameraMath, AllZeroTracksGiveNonFiniteMatricesWithoutFailing) {
    CameraMatrices cam = cameraFromTracks({0, 0, 0}, {0, 0, 0}, 0.0f, 0.0f);
    EXPECT_FALSE(std::isfinite(cam.modelView.at(0, 0)));
    EXPECT_TRUE(std::isinf(cam.projection.at(0, 0)));
    Mat4 inv = inverse(cam.modelView);
    EXPECT_FALSE(std::isfinite(inv.at(0, 0)));
}

} // namespace
