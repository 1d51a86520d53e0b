// Fetching the GL entry points of gl_calls.h from the backend, once per process: every context
// a backend makes is of one kind (Mesa's compatibility profile on the desktop, WebGL 1 in the
// browser), so what the first one offers, all do.
#include "platform/core/gl_calls.h"

namespace {

struct Fetched {
    bool tried;
    bool complete;
    standin::GlCalls calls;
};

Fetched gFetched{};

template <typename Function>
bool Fetch(Function& function, const char* name) {
    function = reinterpret_cast<Function>(standin::TheBackend().glProcAddress(name));
    return function != nullptr;
}

bool FetchAll(standin::GlCalls& gl) {
    bool all = true;
    all = Fetch(gl.genFramebuffers, "glGenFramebuffers") && all;
    all = Fetch(gl.deleteFramebuffers, "glDeleteFramebuffers") && all;
    all = Fetch(gl.bindFramebuffer, "glBindFramebuffer") && all;
    all = Fetch(gl.framebufferTexture2D, "glFramebufferTexture2D") && all;
    all = Fetch(gl.genRenderbuffers, "glGenRenderbuffers") && all;
    all = Fetch(gl.deleteRenderbuffers, "glDeleteRenderbuffers") && all;
    all = Fetch(gl.bindRenderbuffer, "glBindRenderbuffer") && all;
    all = Fetch(gl.renderbufferStorage, "glRenderbufferStorage") && all;
    all = Fetch(gl.framebufferRenderbuffer, "glFramebufferRenderbuffer") && all;
    all = Fetch(gl.checkFramebufferStatus, "glCheckFramebufferStatus") && all;
    all = Fetch(gl.createShader, "glCreateShader") && all;
    all = Fetch(gl.shaderSource, "glShaderSource") && all;
    all = Fetch(gl.compileShader, "glCompileShader") && all;
    all = Fetch(gl.attachShader, "glAttachShader") && all;
    all = Fetch(gl.deleteShader, "glDeleteShader") && all;
    all = Fetch(gl.createProgram, "glCreateProgram") && all;
    all = Fetch(gl.bindAttribLocation, "glBindAttribLocation") && all;
    all = Fetch(gl.linkProgram, "glLinkProgram") && all;
    all = Fetch(gl.getProgramiv, "glGetProgramiv") && all;
    all = Fetch(gl.deleteProgram, "glDeleteProgram") && all;
    all = Fetch(gl.useProgram, "glUseProgram") && all;
    all = Fetch(gl.getUniformLocation, "glGetUniformLocation") && all;
    all = Fetch(gl.uniform1i, "glUniform1i") && all;
    all = Fetch(gl.uniform1f, "glUniform1f") && all;
    all = Fetch(gl.uniform2f, "glUniform2f") && all;
    all = Fetch(gl.uniform3f, "glUniform3f") && all;
    all = Fetch(gl.genBuffers, "glGenBuffers") && all;
    all = Fetch(gl.bindBuffer, "glBindBuffer") && all;
    all = Fetch(gl.bufferData, "glBufferData") && all;
    all = Fetch(gl.activeTexture, "glActiveTexture") && all;
    all = Fetch(gl.vertexAttribPointer, "glVertexAttribPointer") && all;
    all = Fetch(gl.enableVertexAttribArray, "glEnableVertexAttribArray") && all;
    all = Fetch(gl.disableVertexAttribArray, "glDisableVertexAttribArray") && all;
    all = Fetch(gl.getVertexAttribiv, "glGetVertexAttribiv") && all;
    all = Fetch(gl.getVertexAttribPointerv, "glGetVertexAttribPointerv") && all;
    all = Fetch(gl.drawArrays, "glDrawArrays") && all;
    Fetch(gl.polygonMode, "glPolygonMode");
    Fetch(gl.readBuffer, "glReadBuffer");
    return all;
}

}  // namespace

namespace standin {

const GlCalls* Gl() {
    if (!gFetched.tried) {
        gFetched.tried = true;
        gFetched.complete = FetchAll(gFetched.calls);
    }
    return gFetched.complete ? &gFetched.calls : nullptr;
}

}  // namespace standin
