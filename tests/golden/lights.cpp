#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glaux.h>

#include "GestionOpenGL.h"

void scene(void) {
 glPushMatrix() ;
 { glPushMatrix() ;
   pushMaterial() ;
   pushLumieres() ; }
  { float x = -12.000000F,y = 10.000000F,z = 12.000000F ;
    float i = 0.600000F ;
    float r = 1.000000F,v = 0.500000F,b = 0.300000F ;
    affectePointLight(r,v,b,x,y,z,i) ; }
  { float dx = 0.500000F,dy = -1.000000F,dz = -1.000000F ;
    float i = 0.500000F ;
    float r = 0.300000F,v = 0.500000F,b = 1.000000F ;
    affecteDirLight(r,v,b,dx,dy,dz,i) ; }
  { float x = 0.000000F,y = 16.000000F,z = 6.000000F ;
    float dx = 0.000000F,dy = -1.000000F,dz = -0.350000F ;
    float i = 1.000000F,o = 25.000000F ;
    float r = 1.000000F,v = 1.000000F,b = 1.000000F ;
    affecteSpotLight(r,v,b,x,y,z,dx,dy,dz,i,o) ; }
  { float ref = 50.000000 ;
    float ma[4] = {0.100000F,0.100000F,0.100000F,1.0F} ;
    float md[4] = {0.800000F,0.800000F,0.800000F,1.0F} ;
    float ms[4] = {1.000000F,1.000000F,1.000000F,1.0F} ;
    float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
    affecteMaterial(ma,md,me,ms,ref) ; }
  { glPushMatrix() ;
    pushMaterial() ;
    pushLumieres() ; }
   { glTranslatef(0.000000F,-9.000000F,0.000000F) ; }
   { auxSolidBox(34.000000,1.000000,20.000000) ; }
  { glPopMatrix() ;
    popMaterial() ;
    popLumieres() ; }
  { glPushMatrix() ;
    pushMaterial() ;
    pushLumieres() ; }
   { glTranslatef(-9.000000F,-4.000000F,0.000000F) ; }
   { auxSolidSphere(4.000000) ; }
  { glPopMatrix() ;
    popMaterial() ;
    popLumieres() ; }
  { glPushMatrix() ;
    pushMaterial() ;
    pushLumieres() ; }
   { glTranslatef(0.000000F,-3.500000F,0.000000F) ; }
   { glRotatef(45.000000F,0.000000F,1.000000F,0.000000F) ; }
   { auxSolidBox(5.000000,10.000000,5.000000) ; }
  { glPopMatrix() ;
    popMaterial() ;
    popLumieres() ; }
  { glPushMatrix() ;
    pushMaterial() ;
    pushLumieres() ; }
   { glTranslatef(9.000000F,-4.000000F,0.000000F) ; }
   { myAuxSolidCone(4.000000,9.000000) ; }
  { glPopMatrix() ;
    popMaterial() ;
    popLumieres() ; }
  { glPushMatrix() ;
    pushMaterial() ;
    pushLumieres() ; }
   { float ref = 1.000000 ;
     float ma[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
     float md[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
     float ms[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
     float me[4] = {1.000000F,0.900000F,0.400000F,1.0F} ;
     affecteMaterial(ma,md,me,ms,ref) ; }
   { glTranslatef(0.000000F,16.000000F,6.000000F) ; }
   { auxSolidSphere(0.700000) ; }
  { glPopMatrix() ;
    popMaterial() ;
    popLumieres() ; }
 { glPopMatrix() ;
   popMaterial() ;
   popLumieres() ; }
 glPopMatrix() ;
}

void myInit (void) {
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DEPTH_TEST) ;
  glEnable(GL_LIGHTING) ;
  glEnable(GL_LIGHT0) ;
}
