// Hooks between the support module's own files; not installed.
#ifndef MIROVAN_SUPPORT_INTERNAL_H
#define MIROVAN_SUPPORT_INTERNAL_H

void markMaterialFrame();
void restoreMaterialFrame();
void forgetMaterials();

void markLightFrame();
void restoreLightFrame();
void forgetLights();

void forgetShapeLists();

void forgetModelviews();

#endif
