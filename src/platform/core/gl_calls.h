// The GL entry points beyond GL 1.1 that the core's offscreen frames and their scaler use,
// fetched from the backend once a context is current.
//
// The same calls exist in desktop GL (framebuffer objects from GL 3.0, shaders and buffers from
// GL 2.0, offered beside the program's GL 1.1 by a compatibility profile) and in WebGL 1. What a
// context offers is asked of it entry point by entry point, never read from version strings.
#pragma once

#include "platform/core/core.h"

// After the core's header, which brings GL's own.
#include <GL/glext.h>

namespace standin {

struct GlCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLCREATESHADERPROC createShader;
    PFNGLSHADERSOURCEPROC shaderSource;
    PFNGLCOMPILESHADERPROC compileShader;
    PFNGLATTACHSHADERPROC attachShader;
    PFNGLDELETESHADERPROC deleteShader;
    PFNGLCREATEPROGRAMPROC createProgram;
    PFNGLBINDATTRIBLOCATIONPROC bindAttribLocation;
    PFNGLLINKPROGRAMPROC linkProgram;
    PFNGLGETPROGRAMIVPROC getProgramiv;
    PFNGLDELETEPROGRAMPROC deleteProgram;
    PFNGLUSEPROGRAMPROC useProgram;
    PFNGLGETUNIFORMLOCATIONPROC getUniformLocation;
    PFNGLUNIFORM1IPROC uniform1i;
    PFNGLUNIFORM1FPROC uniform1f;
    PFNGLUNIFORM2FPROC uniform2f;
    PFNGLUNIFORM3FPROC uniform3f;
    PFNGLGENBUFFERSPROC genBuffers;
    PFNGLBINDBUFFERPROC bindBuffer;
    PFNGLBUFFERDATAPROC bufferData;
    PFNGLACTIVETEXTUREPROC activeTexture;
    PFNGLVERTEXATTRIBPOINTERPROC vertexAttribPointer;
    PFNGLENABLEVERTEXATTRIBARRAYPROC enableVertexAttribArray;
    PFNGLDISABLEVERTEXATTRIBARRAYPROC disableVertexAttribArray;
    PFNGLGETVERTEXATTRIBIVPROC getVertexAttribiv;
    PFNGLGETVERTEXATTRIBPOINTERVPROC getVertexAttribPointerv;
    // GL 1.1's own, fetched all the same: the program's GL 1.1 may be a layer of the backend's
    // over another GL (the browser's), which the scaler's quad should not pass through.
    void(GLAPIENTRY* drawArrays)(GLenum mode, GLint first, GLsizei count);
    // Only where the context has GL's fixed-function pipeline and several colour buffers
    // (desktop GL); null in WebGL.
    void(GLAPIENTRY* polygonMode)(GLenum face, GLenum mode);
    void(GLAPIENTRY* readBuffer)(GLenum buffer);
};

// The entry points, fetched on the first call with a context current; null where the context
// lacks one of those the offscreen frames need (the two optional ones aside).
const GlCalls* Gl();

}  // namespace standin
