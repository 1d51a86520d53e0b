// The demo's main part, written by hand in plain WebGL 1 as the floor the port is measured
// against: per frame a 640x480 clear with depth, a 45-degree 4:3 perspective (near 0.1, far
// 100), a spinning open box of five quads with a colour per vertex, and one textured quad
// holding a line of text, blended, wobbling and changing colour. Drawing starts with a click,
// as the demo's does once its question is answered. It reports in window.quorvane what
// bench/web/run.mjs reads (see the top of that file).
'use strict';

const FRAME_LOG = 1000; // frames kept in frameWorkMs and frameEndMs

const state = (window.quorvane = {
  ready: false,
  part: null,
  frames: 0,
  frameWorkMs: [],
  frameEndMs: [],
});

// Everything is made after the click, as the demo makes its window, context, shaders and font
// once its question is answered: the first frame after the click costs the same work in both.
function start() {
  const canvas = document.getElementById('screen');
  // As sharp as the demo: a drawing buffer of the device's pixels.
  const ratio = window.devicePixelRatio || 1;
  canvas.width = Math.round(640 * ratio);
  canvas.height = Math.round(480 * ratio);
  const gl = canvas.getContext('webgl', { alpha: false, antialias: false });
  if (!gl) throw new Error('WebGL 1 is not available');

  // Column-major 4x4 matrices, as GL takes them.
  function perspective(fovyDegrees, aspect, near, far) {
    const f = 1 / Math.tan((fovyDegrees * Math.PI) / 360);
    const m = new Float32Array(16);
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (far + near) / (near - far);
    m[11] = -1;
    m[14] = (2 * far * near) / (near - far);
    return m;
  }

  function multiply(a, b) {
    const m = new Float32Array(16);
    for (let c = 0; c < 4; c++) {
      for (let r = 0; r < 4; r++) {
        let sum = 0;
        for (let k = 0; k < 4; k++) sum += a[k * 4 + r] * b[c * 4 + k];
        m[c * 4 + r] = sum;
      }
    }
    return m;
  }

  function translation(x, y, z) {
    const m = new Float32Array([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]);
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
  }

  function rotation(degrees, x, y, z) {
    const len = Math.hypot(x, y, z);
    x /= len;
    y /= len;
    z /= len;
    const a = (degrees * Math.PI) / 180;
    const c = Math.cos(a);
    const s = Math.sin(a);
    const t = 1 - c;
    return new Float32Array([
      t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0,
      t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0,
      t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0,
      0, 0, 0, 1,
    ]);
  }

  function compile(type, source) {
    const shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS)) throw new Error(gl.getShaderInfoLog(shader));
    return shader;
  }

  function link(vertex, fragment, attributes) {
    const program = gl.createProgram();
    gl.attachShader(program, compile(gl.VERTEX_SHADER, vertex));
    gl.attachShader(program, compile(gl.FRAGMENT_SHADER, fragment));
    attributes.forEach((name, i) => gl.bindAttribLocation(program, i, name));
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) throw new Error(gl.getProgramInfoLog(program));
    return program;
  }

  // The box: bottom and four sides of a cube, no lid, every corner its own colour.
  const boxProgram = link(
    `attribute vec3 position;
     attribute vec3 colour;
     uniform mat4 mvp;
     varying vec3 shade;
     void main() { shade = colour; gl_Position = mvp * vec4(position, 1.0); }`,
    `precision mediump float;
     varying vec3 shade;
     void main() { gl_FragColor = vec4(shade, 1.0); }`,
    ['position', 'colour']);
  const boxMvp = gl.getUniformLocation(boxProgram, 'mvp');

  const faces = [
    [[-1, -1, -1], [1, -1, -1], [1, -1, 1], [-1, -1, 1]], // bottom
    [[-1, -1, 1], [1, -1, 1], [1, 1, 1], [-1, 1, 1]], // front
    [[1, -1, -1], [-1, -1, -1], [-1, 1, -1], [1, 1, -1]], // back
    [[-1, -1, -1], [-1, -1, 1], [-1, 1, 1], [-1, 1, -1]], // left
    [[1, -1, 1], [1, -1, -1], [1, 1, -1], [1, 1, 1]], // right
  ];
  const corners = [[1, 0, 0], [0, 1, 0], [0, 0, 1], [1, 1, 0]];
  const boxVertices = [];
  const boxIndices = [];
  faces.forEach((face, f) => {
    face.forEach((p, i) => boxVertices.push(...p, ...corners[(i + f) % 4]));
    const b = f * 4;
    boxIndices.push(b, b + 1, b + 2, b, b + 2, b + 3);
  });
  const boxBuffer = gl.createBuffer();
  gl.bindBuffer(gl.ARRAY_BUFFER, boxBuffer);
  gl.bufferData(gl.ARRAY_BUFFER, new Float32Array(boxVertices), gl.STATIC_DRAW); // 20 vertices
  const boxIndexBuffer = gl.createBuffer();
  gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, boxIndexBuffer);
  gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, new Uint16Array(boxIndices), gl.STATIC_DRAW);

  // The text: one line drawn once into a texture, shown on one quad.
  const textProgram = link(
    `attribute vec2 position;
     attribute vec2 uv;
     uniform mat4 mvp;
     varying vec2 texel;
     void main() { texel = uv; gl_Position = mvp * vec4(position, 0.0, 1.0); }`,
    `precision mediump float;
     uniform sampler2D glyphs;
     uniform vec3 tint;
     varying vec2 texel;
     void main() {
       float coverage = texture2D(glyphs, texel).a;
       if (coverage < 0.02) discard;
       gl_FragColor = vec4(tint, coverage);
     }`,
    ['position', 'uv']);
  const textMvp = gl.getUniformLocation(textProgram, 'mvp');
  const textTint = gl.getUniformLocation(textProgram, 'tint');
  const textGlyphs = gl.getUniformLocation(textProgram, 'glyphs');

  const line = document.createElement('canvas');
  line.width = 512;
  line.height = 64;
  const pen = line.getContext('2d');
  pen.font = 'bold 36px sans-serif';
  pen.textAlign = 'center';
  pen.textBaseline = 'middle';
  pen.fillStyle = '#fff';
  pen.fillText('QUORVANE  -  credits line', 256, 32);
  const textTexture = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_2D, textTexture);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, line);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);

  const textBuffer = gl.createBuffer();
  gl.bindBuffer(gl.ARRAY_BUFFER, textBuffer);
  // x, y, u, v: a 4:0.5 quad, as wide as the texture's 8:1.
  gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([
    -2, -0.25, 0, 1, 2, -0.25, 1, 1, -2, 0.25, 0, 0, 2, 0.25, 1, 0,
  ]), gl.STATIC_DRAW);

  const projection = perspective(45, 640 / 480, 0.1, 100);
  let startedAt = null;

  function frame(now) {
    const workStart = performance.now();
    if (startedAt === null) startedAt = now;
    const t = (now - startedAt) / 1000;

    gl.viewport(0, 0, canvas.width, canvas.height);
    gl.clearColor(0, 0, 0, 1);
    gl.clearDepth(1);
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);

    gl.enable(gl.DEPTH_TEST);
    gl.depthFunc(gl.LEQUAL);
    gl.disable(gl.BLEND);
    gl.useProgram(boxProgram);
    const spin = multiply(rotation(t * 50, 1, 0, 0), rotation(t * 70, 0, 1, 0));
    gl.uniformMatrix4fv(boxMvp, false, multiply(projection, multiply(translation(0, -0.3, -6), spin)));
    gl.bindBuffer(gl.ARRAY_BUFFER, boxBuffer);
    gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, boxIndexBuffer);
    gl.enableVertexAttribArray(0);
    gl.enableVertexAttribArray(1);
    gl.vertexAttribPointer(0, 3, gl.FLOAT, false, 24, 0);
    gl.vertexAttribPointer(1, 3, gl.FLOAT, false, 24, 12);
    gl.drawElements(gl.TRIANGLES, boxIndices.length, gl.UNSIGNED_SHORT, 0);

    gl.enable(gl.BLEND);
    gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
    gl.useProgram(textProgram);
    const wobble = multiply(translation(0, 1.55 + 0.08 * Math.sin(t * 3), -5), rotation(6 * Math.sin(t * 2), 0, 0, 1));
    gl.uniformMatrix4fv(textMvp, false, multiply(projection, wobble));
    gl.uniform3f(textTint, 0.5 + 0.5 * Math.sin(t), 0.5 + 0.5 * Math.sin(t + 2.1), 0.5 + 0.5 * Math.sin(t + 4.2));
    gl.activeTexture(gl.TEXTURE0);
    gl.bindTexture(gl.TEXTURE_2D, textTexture);
    gl.uniform1i(textGlyphs, 0);
    gl.bindBuffer(gl.ARRAY_BUFFER, textBuffer);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 16, 0);
    gl.vertexAttribPointer(1, 2, gl.FLOAT, false, 16, 8);
    gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);

    const workEnd = performance.now();
    state.frameWorkMs.push(workEnd - workStart);
    state.frameEndMs.push(workEnd);
    if (state.frameWorkMs.length > FRAME_LOG) {
      state.frameWorkMs.shift();
      state.frameEndMs.shift();
    }
    state.frames++;
    state.part = 'main';
    requestAnimationFrame(frame);
  }
  requestAnimationFrame(frame);
}

document.getElementById('start').addEventListener('click', () => {
  document.getElementById('question').hidden = true;
  start();
}, { once: true });
state.ready = true;
