// sphere.cpp -- the ball and brick meshes, compiled once and replayed
#include "render/sphere.h"

#include <GL/glut.h>

namespace {
// glutSolidSphere builds its mesh afresh at every call; a display list replays
// it. Display lists belong to the context they were made in.
struct sphere_mesh_t {
  float radius;
  int slices;
  int stacks;
  GLuint list;
};
// The playfield draws four: the ball, a brick's core and shell, and the mother
// brick's shell (its core is a brick's shell), each with the slices and stacks
// roller.cpp and bricker.cpp name.
constexpr int kMaxSphereMeshes = 8;
sphere_mesh_t g_sphere_meshes[kMaxSphereMeshes];
int g_sphere_mesh_count = 0;
}  // namespace

void sphere_draw(float radius, int slices, int stacks) {
  for (int i = 0; i < g_sphere_mesh_count; ++i) {
    const sphere_mesh_t &mesh = g_sphere_meshes[i];
    if (mesh.radius == radius && mesh.slices == slices && mesh.stacks == stacks) {
      glCallList(mesh.list);
      return;
    }
  }
  // A mesh beyond the table, or no list left, is simply drawn the slow way.
  const GLuint list = g_sphere_mesh_count < kMaxSphereMeshes ? glGenLists(1) : 0;
  if (list == 0) {
    glutSolidSphere(radius, slices, stacks);
    return;
  }
  glNewList(list, GL_COMPILE);
  glutSolidSphere(radius, slices, stacks);
  glEndList();
  g_sphere_meshes[g_sphere_mesh_count++] = {radius, slices, stacks, list};
  glCallList(list);
}

// A new context never made these lists and ignores their names; a mode
// switch that kept the context frees them.
void sphere_reset() {
  for (int i = 0; i < g_sphere_mesh_count; ++i) glDeleteLists(g_sphere_meshes[i].list, 1);
  g_sphere_mesh_count = 0;
}
