// GestionOpenGL: the material, light and solid operations that Mirovan's
// screen mode and the sources it generates call.
// Every call needs a current OpenGL context with the modelview matrix mode,
// and runs on the thread that owns that context.
#ifndef GESTION_OPENGL_H
#define GESTION_OPENGL_H

// Materials. The four colours are red, green, blue, alpha.
void affecteMaterial(const float* ma, const float* md, const float* me, const float* ms, float ref);
void pushMaterial();
void popMaterial();

// Lights: colour (r, v, b) first, then where, then intensity i; o in degrees.
void affectePointLight(float r, float v, float b, float x, float y, float z, float i);
void affecteDirLight(float r, float v, float b, float dx, float dy, float dz, float i);
void affecteSpotLight(float r, float v, float b, float x, float y, float z, float dx, float dy,
                      float dz, float i, float o);
void pushLumieres();
void popLumieres();

// Solids centred on the origin; cylinder and cone stand along y.
void auxSolidBox(double width, double height, double depth);
void auxSolidSphere(double radius);
void myAuxSolidCylinder(double radius, double height);
void myAuxSolidCone(double radius, double height);

#endif
