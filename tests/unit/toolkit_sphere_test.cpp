// toolkit_sphere_test.cpp -- angle wrapping, the two angle senses and the rounding points
#include "geometry/toolkit_sphere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(AngleWrapping, KeepsTheClosedRangeWithTheModulusItselfIncluded) {
  EXPECT_EQ(toolkit_fmodf(360, 360), 360.0f);
  EXPECT_EQ(toolkit_fmodf(720, 360), 360.0f);
  EXPECT_EQ(toolkit_fmodf(725, 360), 5.0f);
  EXPECT_EQ(toolkit_fmodf(0, 360), 0.0f);
}

TEST(AngleWrapping, BringsNegativeAnglesUpWithFloatRounding) {
  EXPECT_EQ(toolkit_fmodf(-30, 360), 330.0f);
  EXPECT_EQ(toolkit_fmodf(-360, 360), 0.0f);
  // -0.000001 + 360 rounds to 360 in single precision.
  EXPECT_EQ(toolkit_fmodf(-0.000001f, 360), 360.0f);
  EXPECT_EQ(toolkit_fmodf(-1000, 360), 80.0f);
}

TEST(AngleWrapping, PassesNaNThrough) {
  EXPECT_TRUE(std::isnan(toolkit_fmodf(std::numeric_limits<float>::quiet_NaN(), 360)));
}

TEST(Magnitude, ClearsTheSignOnlyBelowZero) {
  EXPECT_EQ(toolkit_fabsf(-2.5f), 2.5f);
  EXPECT_EQ(toolkit_fabsf(3.0f), 3.0f);
  const float negative_zero = toolkit_fabsf(-0.0f);
  EXPECT_EQ(negative_zero, 0.0f);
  EXPECT_TRUE(std::signbit(negative_zero));
  EXPECT_TRUE(std::isnan(toolkit_fabsf(std::numeric_limits<float>::quiet_NaN())));
}

TEST(DegreesAndRadians, RoundTripThroughPiRoundedToFloat) {
  EXPECT_EQ(static_cast<double>(deg2rad(180)), 3.1415927410125732);
  EXPECT_EQ(rad2deg(deg2rad(180)), 180.0f);
  EXPECT_EQ(deg2rad(0), 0.0f);
}

TEST(PlacingAngles, RunFromPlusXTowardsMinusZ) {
  const vec3_t at0 = sphere2cart(45, 0, 0);
  EXPECT_EQ(at0.x, 45.0f);
  EXPECT_EQ(at0.y, 0.0f);
  EXPECT_EQ(at0.z, 0.0f);
  EXPECT_TRUE(std::signbit(at0.z));

  const vec3_t at30 = sphere2cart(45, 30, 0);
  EXPECT_FLOAT_EQ(at30.x, 38.971142f);
  EXPECT_FLOAT_EQ(at30.z, -22.5f);

  // pi/2 rounded to float is slightly past a right angle, so x is not 0.
  const vec3_t at90 = sphere2cart(45, 90, 0);
  EXPECT_EQ(at90.z, -45.0f);
  EXPECT_NE(at90.x, 0.0f);
  EXPECT_NEAR(at90.x, -0.000002, 0.0000005);
}

TEST(PlacingAngles, IgnorePhi) {
  const vec3_t a = sphere2cart(10, 45, 0);
  const vec3_t b = sphere2cart(10, 45, 77);
  EXPECT_EQ(a.x, b.x);
  EXPECT_EQ(a.z, b.z);
}

TEST(MeasuredAngles, RunFromPlusXTowardsPlusZAndAreNotWrapped) {
  vec3_t p = cart2sphere(0, 0, -5);
  EXPECT_EQ(p.x, 5.0f);
  EXPECT_EQ(p.y, 90.0f);  // straight along -z still measures 90
  EXPECT_EQ(p.z, 0.0f);

  p = cart2sphere(1, 0, -1);
  EXPECT_FLOAT_EQ(p.x, 1.4142135f);
  EXPECT_FLOAT_EQ(p.y, -45.0f);

  p = cart2sphere(-1, 0, 0);
  EXPECT_EQ(p.x, 1.0f);
  EXPECT_EQ(p.y, 180.0f);

  p = cart2sphere(0, 3, 0);
  EXPECT_EQ(p.x, 0.0f);
  EXPECT_EQ(p.y, 90.0f);
}

TEST(MeasuredAngles, AreTheNegationOfPlacingAngles) {
  const vec3_t c = sphere2cart(45, 200, 0);
  const vec3_t p = cart2sphere(c.x, c.y, c.z);
  EXPECT_FLOAT_EQ(p.x, 45.0f);
  EXPECT_NEAR(p.y, 160.0f, 0.0001f);

  const vec3_t c2 = sphere2cart(20, 30, 0);
  const vec3_t p2 = cart2sphere(c2.x, c2.y, c2.z);
  EXPECT_NEAR(p2.y, -30.0f, 0.0001f);
}

TEST(Normalize, ScalesByTheLargerHorizontalMagnitude) {
  vec3_t d = normalize(3, 7, -4);
  EXPECT_EQ(d.x, 0.75f);
  EXPECT_EQ(d.y, 7.0f);  // y passes through unscaled
  EXPECT_EQ(d.z, -1.0f);

  d = normalize(-2, 0, 2);
  EXPECT_EQ(d.x, -1.0f);
  EXPECT_EQ(d.z, 1.0f);

  d = normalize(10, 0, 1);
  EXPECT_EQ(d.x, 1.0f);
  EXPECT_FLOAT_EQ(d.z, 0.1f);
}

TEST(Normalize, PassesNaNThroughInTheAffectedComponent) {
  const vec3_t d = normalize(std::numeric_limits<float>::quiet_NaN(), 0, 2);
  EXPECT_TRUE(std::isnan(d.x));
}

}  // namespace
