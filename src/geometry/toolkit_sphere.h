// toolkit_sphere.h -- polar/cartesian conversions and angle arithmetic of the field
#pragma once

// Three 32-bit floats: a cartesian triple (x, y, z) or a polar triple
// (rho, theta, phi) stored in x, y, z; phi is always 0.
struct vec3_t {
  float x;
  float y;
  float z;
};

// Wraps value into the closed range [0, modulus] by repeated subtraction or
// addition: positive whole multiples of the modulus come back as the modulus,
// 0 and negative whole multiples as 0.
// Named apart from the C library's fmodf, whose results differ.
float toolkit_fmodf(float value, float modulus);
// Clears the sign only of values strictly below 0, so -0 and NaN pass through.
float toolkit_fabsf(float value);

float deg2rad(float degrees);
float rad2deg(float radians);

// Placing angles grow from +x towards -z: theta maps to (cos, -sin) in (x, z).
vec3_t sphere2cart(float rho, float theta, float phi);
// Measured angles grow from +x towards +z, the opposite sense of sphere2cart.
vec3_t cart2sphere(float x, float y, float z);
// Max-norm scaling in the horizontal plane: the larger of |x|, |z| becomes 1, the other no more than 1.
vec3_t normalize(float x, float y, float z);
