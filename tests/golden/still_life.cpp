#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glaux.h>

#include "GestionOpenGL.h"

void scene(void) {
 glPushMatrix() ;
 { float dx = -1.000000F,dy = -1.000000F,dz = -2.000000F ;
   float i = 1.000000F ;
   float r = 1.000000F,v = 1.000000F,b = 0.950000F ;
   affecteDirLight(r,v,b,dx,dy,dz,i) ; }
 { glRotatef(15.000000F,1.000000F,0.000000F,0.000000F) ; }
 { glPushMatrix() ;
   pushMaterial() ;
   pushLumieres() ; }
  { float ref = 10.000000 ;
    float ma[4] = {0.120000F,0.070000F,0.030000F,1.0F} ;
    float md[4] = {0.450000F,0.280000F,0.120000F,1.0F} ;
    float ms[4] = {0.200000F,0.200000F,0.200000F,1.0F} ;
    float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
    affecteMaterial(ma,md,me,ms,ref) ; }
  { glTranslatef(0.000000F,-6.000000F,0.000000F) ; }
  { auxSolidBox(30.000000,1.000000,14.000000) ; }
 { glPopMatrix() ;
   popMaterial() ;
   popLumieres() ; }
 { glPushMatrix() ;
   pushMaterial() ;
   pushLumieres() ; }
  { float ref = 100.000000 ;
    float ma[4] = {0.030000F,0.070000F,0.150000F,1.0F} ;
    float md[4] = {0.150000F,0.350000F,0.750000F,1.0F} ;
    float ms[4] = {1.000000F,1.000000F,1.000000F,1.0F} ;
    float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
    affecteMaterial(ma,md,me,ms,ref) ; }
  { glTranslatef(-7.000000F,-1.000000F,0.000000F) ; }
  { myAuxSolidCylinder(2.200000,9.000000) ; }
  { glTranslatef(0.000000F,6.000000F,0.000000F) ; }
  { myAuxSolidCone(2.200000,3.000000) ; }
 { glPopMatrix() ;
   popMaterial() ;
   popLumieres() ; }
 { glPushMatrix() ;
   pushMaterial() ;
   pushLumieres() ; }
  { float ref = 90.000000 ;
    float ma[4] = {0.200000F,0.020000F,0.020000F,1.0F} ;
    float md[4] = {0.850000F,0.100000F,0.080000F,1.0F} ;
    float ms[4] = {0.900000F,0.900000F,0.900000F,1.0F} ;
    float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
    affecteMaterial(ma,md,me,ms,ref) ; }
  { glTranslatef(1.000000F,-3.000000F,2.000000F) ; }
  { auxSolidSphere(2.500000) ; }
 { glPopMatrix() ;
   popMaterial() ;
   popLumieres() ; }
 { glPushMatrix() ;
   pushMaterial() ;
   pushLumieres() ; }
  { float ref = 30.000000 ;
    float ma[4] = {0.200000F,0.150000F,0.020000F,1.0F} ;
    float md[4] = {0.950000F,0.750000F,0.100000F,1.0F} ;
    float ms[4] = {0.500000F,0.500000F,0.400000F,1.0F} ;
    float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
    affecteMaterial(ma,md,me,ms,ref) ; }
  { glTranslatef(6.000000F,-3.500000F,-1.000000F) ; }
  { auxSolidSphere(2.000000) ; }
  { glTranslatef(3.000000F,0.000000F,2.000000F) ; }
  { glScalef(1.000000F,0.800000F,1.000000F) ; }
  { auxSolidSphere(1.600000) ; }
 { glPopMatrix() ;
   popMaterial() ;
   popLumieres() ; }
 { glPushMatrix() ;
   pushMaterial() ;
   pushLumieres() ; }
  { float ref = 20.000000 ;
    float ma[4] = {0.040000F,0.140000F,0.050000F,1.0F} ;
    float md[4] = {0.200000F,0.700000F,0.250000F,1.0F} ;
    float ms[4] = {0.300000F,0.300000F,0.300000F,1.0F} ;
    float me[4] = {0.020000F,0.050000F,0.020000F,1.0F} ;
    affecteMaterial(ma,md,me,ms,ref) ; }
  { glTranslatef(4.000000F,-4.500000F,4.000000F) ; }
  { glRotatef(30.000000F,0.000000F,1.000000F,0.000000F) ; }
  { auxSolidBox(3.000000,2.000000,3.000000) ; }
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
