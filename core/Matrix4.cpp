#include "core/Matrix4.h"

#include <cmath>
#include <cstring>

void Matrix4::LoadIdentity() {
    std::memset(m, 0, sizeof(m));
    m[0][0] = m[1][1] = m[2][2] = m[3][3] = 1.0f;
}

Matrix4 Matrix4::operator*(const Matrix4& rhs) const {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) s += m[i][k] * rhs.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

bool Matrix4::operator==(const Matrix4& rhs) const { return std::memcmp(m, rhs.m, sizeof(m)) == 0; }

Matrix4 Matrix4::Translation(float x, float y, float z) {
    Matrix4 r;
    r.m[0][3] = x;
    r.m[1][3] = y;
    r.m[2][3] = z;
    return r;
}

Matrix4 Matrix4::Scaling(float x, float y, float z) {
    Matrix4 r;
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    return r;
}

float SnappedSin(float radians) {
    float s = std::sin(radians);
    return std::fabs(s) < 0.00001f ? 0.0f : s;
}

float SnappedCos(float radians) {
    float c = std::cos(radians);
    return std::fabs(c) < 0.00001f ? 0.0f : c;
}

Matrix4 Matrix4::RotationZ(float radians) {
    Matrix4 r;
    float s = SnappedSin(radians), c = SnappedCos(radians);
    r.m[0][0] = c;
    r.m[0][1] = -s;
    r.m[1][0] = s;
    r.m[1][1] = c;
    return r;
}

Matrix4 Matrix4::RotationX(float radians) {
    Matrix4 r;
    float s = SnappedSin(radians), c = SnappedCos(radians);
    r.m[1][1] = c;
    r.m[1][2] = -s;
    r.m[2][1] = s;
    r.m[2][2] = c;
    return r;
}

Matrix4 Matrix4::RotationY(float radians) {
    Matrix4 r;
    float s = SnappedSin(radians), c = SnappedCos(radians);
    r.m[0][0] = c;
    r.m[0][2] = s;
    r.m[2][0] = -s;
    r.m[2][2] = c;
    return r;
}

Matrix4 Matrix4::Orthographic(float left, float right, float bottom, float top, float zNear,
                              float zFar) {
    Matrix4 r;
    r.m[0][0] = 2.0f / (right - left);
    r.m[1][1] = 2.0f / (top - bottom);
    r.m[2][2] = -2.0f / (zFar - zNear);
    r.m[0][3] = -(right + left) / (right - left);
    r.m[1][3] = -(top + bottom) / (top - bottom);
    r.m[2][3] = -(zFar + zNear) / (zFar - zNear);
    return r;
}

void Matrix4::TransformPoint(float& x, float& y) const {
    float z = 0.0f;
    TransformPoint(x, y, z);
}

void Matrix4::TransformPoint(float& x, float& y, float& z) const {
    float nx = m[0][0] * x + m[0][1] * y + m[0][2] * z + m[0][3];
    float ny = m[1][0] * x + m[1][1] * y + m[1][2] * z + m[1][3];
    float nz = m[2][0] * x + m[2][1] * y + m[2][2] * z + m[2][3];
    float w = m[3][0] * x + m[3][1] * y + m[3][2] * z + m[3][3];
    if (w != 0.0f && w != 1.0f) {
        nx /= w;
        ny /= w;
        nz /= w;
    }
    x = nx;
    y = ny;
    z = nz;
}

bool Matrix4::Invert() {
    // Gauss-Jordan with partial pivoting on an augmented copy.
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 8; ++j) a[i][j] = j < 4 ? m[i][j] : (j - 4 == i ? 1.0 : 0.0);
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-12) return false;
        if (pivot != col)
            for (int j = 0; j < 8; ++j) std::swap(a[pivot][j], a[col][j]);
        double inv = 1.0 / a[col][col];
        for (int j = 0; j < 8; ++j) a[col][j] *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            double f = a[r][col];
            for (int j = 0; j < 8; ++j) a[r][j] -= f * a[col][j];
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m[i][j] = static_cast<float>(a[i][j + 4]);
    return true;
}

void Transform::Translate(float x, float y) { mMatrix = Matrix4::Translation(x, y) * mMatrix; }
void Transform::Scale(float sx, float sy) { mMatrix = Matrix4::Scaling(sx, sy) * mMatrix; }
void Transform::RotateRad(float radians) { mMatrix = Matrix4::RotationZ(radians) * mMatrix; }
void Transform::RotateDeg(float degrees) { RotateRad(degrees * 3.14159265358979f / 180.0f); }
void Transform::Concat(const Transform& other) { mMatrix = other.mMatrix * mMatrix; }
