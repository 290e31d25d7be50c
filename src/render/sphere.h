// sphere.h -- the ball and brick meshes, compiled once and replayed
#pragma once

// Draws what glutSolidSphere(radius, slices, stacks) draws, replaying a mesh
// compiled once for each distinct size. Needs a current GL context.
void sphere_draw(float radius, int slices, int stacks);

// Forgets every compiled mesh. Called whenever a GL context is set up: the
// meshes of an earlier context cannot be replayed in it.
void sphere_reset();
