// Camera maths: 3-vectors and 4 x 4 single-precision matrices stored row by row and used with
// row vectors, so multiply(a, b) applies a first. Matrices go to the GPU exactly as stored.
#pragma once

struct Vec3 {
    float x, y, z;
};

// Element [r][c] is m[4 * r + c].
struct Mat4 {
    float m[16];

    float& at(int row, int column) { return m[4 * row + column]; }
    float at(int row, int column) const { return m[4 * row + column]; }
};

// A zero vector gives non-finite components: there is deliberately no length test.
Vec3 normalize(Vec3 v);

// View matrix from a position and a (not normalised) direction. The bottom row holds the
// plain dot products of the position with the three axes.
Mat4 lookAt(Vec3 position, Vec3 direction, Vec3 up);

Mat4 multiply(const Mat4& a, const Mat4& b);

// Adjugate over determinant; a singular matrix gives non-finite entries.
Mat4 inverse(const Mat4& m);

// Right-handed perspective projection from a vertical field of view in degrees, aspect
// 16:9, near 0.1, far 1000, depth mapped to [0, 1].
Mat4 perspectiveFromFov(float fieldOfViewDegrees);

// Rotation by the roll angle (degrees) about the viewing axis.
Mat4 rollMatrix(float rollDegrees);

// The camera of one frame: modelView = lookAt(position, direction, up (0, 1, 0)) x roll.
struct CameraMatrices {
    Mat4 modelView;
    Mat4 projection;
};
CameraMatrices cameraFromTracks(Vec3 position, Vec3 direction, float fieldOfViewDegrees,
                                float rollDegrees);
