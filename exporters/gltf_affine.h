// Affine matrices as glTF nodes hold them. A node's transform must be
// translation x rotation x scale; a scene's transforms can shear (a
// Rotation, then a Zoom of unequal factors, then another Rotation), which no
// single node can say. Any affine matrix is exactly T x R1 x S x R2 (its
// singular value decomposition), so a sheared solid takes two nodes: T R1 S
// on the first, R2 on a child that holds the mesh.
#pragma once

// Matrices are column-major, 16 doubles, last row 0 0 0 1.
struct TrsSplit {
    double translation[3];
    double rotation[4];  // quaternion x y z w
    double scale[3];
    bool inner;               // true when the matrix shears
    double innerRotation[4];  // then applied first, on a child node
};

TrsSplit splitAffine(const double* m);
// T x R x S back into a matrix.
void composeTrs(const double* translation, const double* rotation, const double* scale, double* m);
void multiplyAffine(const double* a, const double* b, double* out);
// False when the matrix has no usable inverse (a zero scale, not finite).
bool invertAffine(const double* m, double* out);
bool finiteAffine(const double* m);
// The rotation that turns -z (where glTF lights point) to `direction`.
void rotationFromMinusZ(const double* direction, double* quaternion);
