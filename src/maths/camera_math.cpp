#include "maths/camera_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// The depth terms far / (near - far) and near * far / (near - far) are written as the bit
// patterns of their nearest single-precision values: computing them in float (0.1 is not
// exact there) could land an ulp away, and every matrix built from them would move with it.
float floatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
const float kDepthScale = floatFromBits(0xBF800347u); // -1.0001000
const float kDepthBias = floatFromBits(0xBDCCD20Bu);  // -0.10001000
const float kAspect = 1.7777778f;

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Determinant of the 3 x 3 matrix left when row r and column c are removed, as six triple
// products.
float minor3(const Mat4& m, int r, int c) {
    int rows[3], cols[3];
    for (int i = 0, k = 0; i < 4; ++i)
        if (i != r)
            rows[k++] = i;
    for (int i = 0, k = 0; i < 4; ++i)
        if (i != c)
            cols[k++] = i;
    auto e = [&](int i, int j) { return m.at(rows[i], cols[j]); };
    return e(0, 0) * e(1, 1) * e(2, 2) - e(0, 0) * e(1, 2) * e(2, 1) - e(0, 1) * e(1, 0) * e(2, 2) +
           e(0, 1) * e(1, 2) * e(2, 0) + e(0, 2) * e(1, 0) * e(2, 1) - e(0, 2) * e(1, 1) * e(2, 0);
}

} // namespace

Vec3 normalize(Vec3 v) {
    float length = std::sqrt(v.y * v.y + v.x * v.x + v.z * v.z);
    float inv = 1.0f / length;
    return {inv * v.x, inv * v.y, inv * v.z};
}

Mat4 lookAt(Vec3 p, Vec3 d, Vec3 up) {
    Vec3 x = normalize(cross(d, up));
    Vec3 y = normalize(cross(d, x));
    return {{x.x, y.x, d.x, 0.0f, //
             x.y, y.y, d.y, 0.0f, //
             x.z, y.z, d.z, 0.0f, //
             dot(p, x), dot(p, y), dot(p, d), 1.0f}};
}

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.at(i, k) * b.at(k, j);
            r.at(i, j) = sum;
        }
    return r;
}

Mat4 inverse(const Mat4& m) {
    Mat4 adj;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float cofactor = minor3(m, j, i);
            adj.at(i, j) = ((i + j) & 1) ? -cofactor : cofactor;
        }
    float det = m.at(0, 1) * adj.at(1, 0) + m.at(0, 0) * adj.at(0, 0) + m.at(0, 2) * adj.at(2, 0) +
                m.at(0, 3) * adj.at(3, 0);
    float invDet = 1.0f / det;
    for (float& e : adj.m)
        e *= invDet;
    return adj;
}

Mat4 perspectiveFromFov(float fieldOfViewDegrees) {
    float radians =
        static_cast<float>(static_cast<double>(fieldOfViewDegrees) * 0.01745329251993889);
    float half = static_cast<float>(static_cast<double>(radians) * 0.5);
    float t = std::tan(half);
    float yScale = 1.0f / t;
    float xScale = (1.0f / t) / kAspect;
    return {{xScale, 0.0f, 0.0f, 0.0f,       //
             0.0f, yScale, 0.0f, 0.0f,       //
             0.0f, 0.0f, kDepthScale, -1.0f, //
             0.0f, 0.0f, kDepthBias, 0.0f}};
}

Mat4 rollMatrix(float rollDegrees) {
    float angle = static_cast<float>(static_cast<double>(rollDegrees / 180.0f) * 3.141592653589);
    float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    Vec3 a = normalize({0.0f, 0.0f, 1.0f});
    return {{a.x * a.x * t + c, a.z * s + a.x * a.y * t, a.x * a.z * t - a.y * s, 0.0f, //
             a.x * a.y * t - a.z * s, a.y * a.y * t + c, a.x * s + a.y * a.z * t, 0.0f, //
             a.y * s + a.x * a.z * t, a.y * a.z * t - a.x * s, a.z * a.z * t + c, 0.0f, //
             0.0f, 0.0f, 0.0f, 1.0f}};
}

CameraMatrices cameraFromTracks(Vec3 position, Vec3 direction, float fieldOfViewDegrees,
                                float rollDegrees) {
    CameraMatrices camera;
    camera.projection = perspectiveFromFov(fieldOfViewDegrees);
    camera.modelView =
        multiply(lookAt(position, direction, {0.0f, 1.0f, 0.0f}), rollMatrix(rollDegrees));
    return camera;
}
