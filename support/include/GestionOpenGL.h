// GestionOpenGL: materials, lights and solids for scenes drawn with legacy
// OpenGL. Mirovan's screen mode calls these operations for the statements of
// a scene, and the C++ source that `mirovan -opengl` writes calls them by
// name, so a compiled scene draws exactly what the window draws.
//
// Using it
//   Every operation needs a current OpenGL 1.1 (or compatibility) context
//   whose matrix mode is the modelview matrix, and runs on the thread that
//   holds that context. Nothing is locked. No operation returns an error or
//   checks its arguments beyond what is said below; values the GL itself
//   refuses (a shininess above 128, a cut-off outside 0..90 that is not 180)
//   are passed on, and the GL keeps its previous value.
//
// Parameter names
//   ma, md, me, ms   ambient, diffuse, emissive, specular colour: 4 floats
//                    each, red, green, blue, alpha
//   ref              shininess, the specular exponent (0 to 128)
//   r, v, b          red, green, blue of a light's colour (rouge, vert, bleu)
//   x, y, z          where a light stands
//   dx, dy, dz       the direction a light shines along (the way it travels)
//   i                a light's intensity: its colour is multiplied by it
//   o                a spot light's cut-off angle, in degrees
//
// Capacities, and what happens beyond them
//   The material stack and the light stack hold 50 entries each, the light
//   set 8 lights (GL_LIGHT0 to GL_LIGHT7). A push beyond 50 is counted but
//   saves nothing, and its pop restores nothing, so every later pop still
//   finds its own push. A pop with nothing pushed, and a ninth light in a
//   set, are ignored. Each of these prints one notice, the first time only
//   in the run, on standard output:
//     "Trop de materiaux empiles!!!"            material push beyond 50
//     "Pile de materiaux vide!!!"               material pop with none pushed
//     "Trop de lumieres!!!"                     a ninth light
//     "Trop d'ensembles de lumieres empiles!!!" light push beyond 50
//     "Pile de lumieres vide!!!"                light pop with none pushed
//
// Display lists
//   A box or a sphere is compiled into a display list the first time its
//   size is met, and every drawing of it, the first included, calls that
//   list, so the first frame is shaded as every later one; cylinders and
//   cones are sent afresh on every call. The lists, and the cache that finds them
//   by size, belong to the process: they are never freed, and they assume
//   one GL context for the whole run (or contexts that share display lists).
#ifndef GESTION_OPENGL_H
#define GESTION_OPENGL_H

// Materials --------------------------------------------------------------

// Makes (ma, md, me, ms, ref) the material of both faces. Alpha goes to the
// GL as given; nothing is clamped or stored.
void affecteMaterial(const float* ma, const float* md, const float* me, const float* ms, float ref);

// Saves the current front-face material, as the GL reports it, on the stack.
void pushMaterial();

// Takes the last saved material off the stack and makes it the material of
// both faces, bit for bit as it was saved.
void popMaterial();

// Lights -----------------------------------------------------------------
// A new light takes the next free GL light number in the current set and is
// placed at once under the current modelview matrix, which is kept with it.

// A point light at (x, y, z), colour (r, v, b) times i.
void affectePointLight(float r, float v, float b, float x, float y, float z, float i);

// A directional light shining along (dx, dy, dz), colour (r, v, b) times i.
void affecteDirLight(float r, float v, float b, float dx, float dy, float dz, float i);

// A spot light at (x, y, z) shining along (dx, dy, dz), colour (r, v, b)
// times i, with a cut-off of o degrees. The GL gets the cut-off truncated to
// a whole degree here; re-applied by popLumieres it gets it whole.
void affecteSpotLight(float r, float v, float b, float x, float y, float z, float dx, float dy,
                      float dz, float i, float o);

// Saves the whole current light set. Makes no GL call: lights added after it
// take the numbers that follow the saved ones.
void pushLumieres();

// Takes the last saved set back and rebuilds the GL lights from it: each
// light where it was placed, whatever the modelview matrix is now, and the
// numbers beyond the set turned off. An empty set gets the GL's initial
// light 0 back, placed under the current modelview matrix.
void popLumieres();

// Solids -----------------------------------------------------------------
// Drawn into the current modelview frame, centred on its origin, with
// normals, in the current material and lights. No size is refused: a
// negative box size draws as its absolute value, a zero size draws
// degenerate geometry.

// A box width along x, height along y, depth along z.
void auxSolidBox(double width, double height, double depth);

// A sphere of 16 slices and 16 stacks.
void auxSolidSphere(double radius);

// A cylinder along y from -height/2 to height/2, both ends capped, its
// sides smoothly shaded.
void myAuxSolidCylinder(double radius, double height);

// A cone along y: base of the radius at -height/2, apex at height/2, no cap
// at the apex. Its side normals are horizontal, as the cylinder's.
void myAuxSolidCone(double radius, double height);

#endif
