// A real Mesa GL context without any display: EGL's surfaceless platform, 640x480.
#pragma once

// Creates and makes current a compatibility-profile GL context drawing into a 640x480
// colour + depth target (a pbuffer, or a framebuffer object where no pbuffer is offered).
// False, with the reason on stderr, when the platform cannot give one.
bool OpenOffscreenContext();
void CloseOffscreenContext();
