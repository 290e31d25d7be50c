// toolkit_sphere.cpp -- polar/cartesian conversions and angle arithmetic of the field
#include "geometry/toolkit_sphere.h"

#include <cmath>

namespace {
constexpr double kPi = 3.141592653589793;
}

float toolkit_fmodf(float value, float modulus) {
  // Each step is rounded to float on purpose: a tiny negative angle lands on
  // the modulus itself, and callers rely on the closed range.
  while (value > modulus) value = value - modulus;
  while (value < 0) value = value + modulus;
  return value;
}

float toolkit_fabsf(float value) {
  if (value < 0) return -value;
  return value;
}

float deg2rad(float degrees) { return static_cast<float>(static_cast<double>(degrees) / 180.0f * kPi); }

float rad2deg(float radians) { return static_cast<float>(static_cast<double>(radians) / kPi * 180.0); }

vec3_t sphere2cart(float rho, float theta, float /*phi*/) {
  const double a = deg2rad(theta);
  vec3_t out;
  out.x = static_cast<float>(rho * std::cos(-a));
  out.y = 0;
  out.z = static_cast<float>(rho * std::sin(-a));
  return out;
}

vec3_t cart2sphere(float x, float /*y*/, float z) {
  vec3_t out;
  out.x = static_cast<float>(std::sqrt(std::pow(x, 2) + std::pow(z, 2)));
  float theta;
  if (x == 0) {
    // Straight along z either way: the angle is taken as 90 even for -z.
    theta = 90;
  } else {
    const float arc = static_cast<float>(std::atan(static_cast<double>(z) / x));
    theta = rad2deg(arc);
  }
  if (x < 0) theta = static_cast<float>(theta + 180.0);
  out.y = theta;
  out.z = 0;
  return out;
}

vec3_t normalize(float x, float y, float z) {
  const float ax = toolkit_fabsf(x);
  const float az = toolkit_fabsf(z);
  const float d = ax > az ? ax : az;
  vec3_t out;
  out.x = static_cast<float>(static_cast<double>(x) / d);
  out.y = y;
  out.z = static_cast<float>(static_cast<double>(z) / d);
  return out;
}
