#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glaux.h>

#include "GestionOpenGL.h"

void scene(void) {
 glPushMatrix() ;
 { float x = 12.000000F,y = 18.000000F,z = 20.000000F ;
   float i = 1.000000F ;
   float r = 1.000000F,v = 1.000000F,b = 1.000000F ;
   affectePointLight(r,v,b,x,y,z,i) ; }
 { float ref = 60.000000 ;
   float ma[4] = {0.150000F,0.150000F,0.150000F,1.0F} ;
   float md[4] = {0.550000F,0.550000F,0.600000F,1.0F} ;
   float ms[4] = {0.900000F,0.900000F,0.900000F,1.0F} ;
   float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
   affecteMaterial(ma,md,me,ms,ref) ; }
 { glRotatef(20.000000F,1.000000F,0.000000F,0.000000F) ; }
 { glRotatef(-30.000000F,0.000000F,1.000000F,0.000000F) ; }
 { glScalef(1.600000F,1.600000F,1.600000F) ; }
 { glTranslatef(0.000000F,3.000000F,0.000000F) ; }
 { glPushMatrix() ;
   pushMaterial() ;
   pushLumieres() ; }
  { glTranslatef(0.000000F,-10.000000F,0.000000F) ; }
  { myAuxSolidCylinder(5.000000,1.500000) ; }
  { glPushMatrix() ;
    pushMaterial() ;
    pushLumieres() ; }
   { float ref = 40.000000 ;
     float ma[4] = {0.200000F,0.100000F,0.020000F,1.0F} ;
     float md[4] = {0.900000F,0.450000F,0.100000F,1.0F} ;
     float ms[4] = {0.600000F,0.600000F,0.600000F,1.0F} ;
     float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
     affecteMaterial(ma,md,me,ms,ref) ; }
   { glTranslatef(0.000000F,1.500000F,0.000000F) ; }
   { auxSolidSphere(1.600000) ; }
   { glRotatef(25.000000F,0.000000F,0.000000F,1.000000F) ; }
   { glTranslatef(0.000000F,4.000000F,0.000000F) ; }
   { glPushMatrix() ;
     pushMaterial() ;
     pushLumieres() ; }
    { glScalef(1.000000F,4.000000F,1.000000F) ; }
    { auxSolidBox(1.600000,2.000000,1.600000) ; }
   { glPopMatrix() ;
     popMaterial() ;
     popLumieres() ; }
   { glTranslatef(0.000000F,4.500000F,0.000000F) ; }
   { auxSolidSphere(1.300000) ; }
   { glRotatef(-70.000000F,0.000000F,0.000000F,1.000000F) ; }
   { glTranslatef(0.000000F,3.500000F,0.000000F) ; }
   { glPushMatrix() ;
     pushMaterial() ;
     pushLumieres() ; }
    { float ref = 80.000000 ;
      float ma[4] = {0.050000F,0.100000F,0.200000F,1.0F} ;
      float md[4] = {0.200000F,0.500000F,0.900000F,1.0F} ;
      float ms[4] = {0.800000F,0.800000F,0.800000F,1.0F} ;
      float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;
      affecteMaterial(ma,md,me,ms,ref) ; }
    { myAuxSolidCylinder(0.900000,7.000000) ; }
   { glPopMatrix() ;
     popMaterial() ;
     popLumieres() ; }
   { glTranslatef(0.000000F,3.800000F,0.000000F) ; }
   { glPushMatrix() ;
     pushMaterial() ;
     pushLumieres() ; }
    { glTranslatef(-0.700000F,0.800000F,0.000000F) ; }
    { glRotatef(15.000000F,0.000000F,0.000000F,1.000000F) ; }
    { myAuxSolidCone(0.400000,2.000000) ; }
   { glPopMatrix() ;
     popMaterial() ;
     popLumieres() ; }
   { glPushMatrix() ;
     pushMaterial() ;
     pushLumieres() ; }
    { glTranslatef(0.700000F,0.800000F,0.000000F) ; }
    { glRotatef(-15.000000F,0.000000F,0.000000F,1.000000F) ; }
    { myAuxSolidCone(0.400000,2.000000) ; }
   { glPopMatrix() ;
     popMaterial() ;
     popLumieres() ; }
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
