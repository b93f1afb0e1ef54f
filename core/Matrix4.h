#pragma once

// A 4x4 float matrix, row-major, acting on column vectors (v' = M v).
class Matrix4 {
public:
    float m[4][4];

    Matrix4() { LoadIdentity(); }
    void LoadIdentity();
    Matrix4 operator*(const Matrix4& rhs) const;
    bool operator==(const Matrix4& rhs) const;

    static Matrix4 Translation(float x, float y, float z = 0.0f);
    static Matrix4 Scaling(float x, float y, float z = 1.0f);
    static Matrix4 RotationZ(float radians);
    static Matrix4 RotationX(float radians);
    static Matrix4 RotationY(float radians);
    static Matrix4 Orthographic(float left, float right, float bottom, float top, float zNear,
                                float zFar);

    void TransformPoint(float& x, float& y) const;
    void TransformPoint(float& x, float& y, float& z) const;
    // General inverse; returns false (and leaves *this alone) when singular.
    bool Invert();
};

// Sine and cosine with results of magnitude under 0.00001 snapped to 0, so
// quarter turns give exact axes.
float SnappedSin(float radians);
float SnappedCos(float radians);

// A 2D transform built on Matrix4: operations apply after what came before.
class Transform {
public:
    Transform() = default;
    void Reset() { mMatrix.LoadIdentity(); }
    void Translate(float x, float y);
    void Scale(float sx, float sy);
    void RotateRad(float radians);
    void RotateDeg(float degrees);
    void Concat(const Transform& other);  // this then other
    void TransformPoint(float& x, float& y) const { mMatrix.TransformPoint(x, y); }
    bool IsIdentity() const { return mMatrix == Matrix4(); }
    const Matrix4& GetMatrix() const { return mMatrix; }
    void SetMatrix(const Matrix4& matrix) { mMatrix = matrix; }

private:
    Matrix4 mMatrix;
};
