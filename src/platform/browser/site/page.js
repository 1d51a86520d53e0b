// The page around the demo: it checks for WebGL, starts the program, and keeps what the
// browser backend needs between its calls: the boxes, the sounds, the emulated fullscreen frame
// and its sharp scaling, and the pace of frames. Its state is window.quorvane.
'use strict';

(function() {
  var params = new URLSearchParams(location.search);
  var q = {
    state: 'loading',  // loading, question, running, ended
    ready: false,      // a box waits for its answer
    part: 'none',      // what the demo shows: boot (below 33 s) or main
    exitCode: null,
    errorText: null,   // the text of a failure box the program showed
    frames: 0,
    // A fixed clock for tests (frame n at floor(n * 1000 / fps) ms, drawn as fast as the page
    // can), with the frames of chosen demo times kept as pixels. Not offered to users.
    fixedFps: Math.max(0, Math.min(1000, parseInt(params.get('fps') || '0', 10) || 0)),
    stills: {},        // demo ms -> {width, height, rgba: base64 of the pixels, bottom row first}
    stillFrames: {},   // frame number -> demo ms
    // Per frame, the newest 1000: ms of the program's own work (from the start of its turn to
    // its present), and the performance.now() at the present.
    frameWorkMs: [],
    frameEndMs: [],
    firstFrameAt: null,
    answeredAt: null,
    boxOpen: false,
    sound: null,       // what PlaySoundA started: {path, duration, startFrame, isDefault}
    audio: null,
  };
  window.quorvane = q;

  if (q.fixedFps > 0) {
    (params.get('stills') || '').split(',').filter(Boolean).forEach(function(text) {
      var ms = Math.round(parseFloat(text) * 1000);
      // The first frame at or after that time.
      q.stillFrames[Math.ceil(ms * q.fixedFps / 1000)] = ms;
    });
  }

  var say = function(text) {
    var status = document.getElementById('status');
    status.textContent = text;
    status.hidden = !text;
  };

  // ---- Sound ----
  var AudioContextClass = window.AudioContext || window.webkitAudioContext;
  var sounds = {};  // the program's name -> promise of an AudioBuffer
  var playing = null;
  var defaultBuffer = null;
  var reportAudio = function() {
    document.body.dataset.audio = q.audio ? q.audio.state : 'none';
  };
  if (AudioContextClass) {
    q.audio = new AudioContextClass();
    q.audio.addEventListener('statechange', reportAudio);
  }
  reportAudio();
  // Only a user's click or key may start sound; every answer to a box is one.
  var unlockAudio = function() {
    if (q.audio && q.audio.state !== 'running') q.audio.resume().catch(function() {});
  };
  // The sounds the site has, fetched and decoded at once, so that the music starts at the
  // first frame whenever the program asks for it.
  fetch('sounds.json').then(function(response) { return response.json(); })
      .then(function(manifest) {
        Object.keys(manifest).forEach(function(name) {
          sounds[name] = fetch(encodeURI(manifest[name])).then(function(response) {
            if (!response.ok) throw new Error('no such file');
            return response.arrayBuffer();
          }).then(function(bytes) {
            return new Promise(function(resolve, reject) {
              q.audio.decodeAudioData(bytes, resolve, function() {
                reject(new Error('not a sound this browser decodes'));
              });
            });
          });
          sounds[name].catch(function() {});  // reported when the program asks for it
        });
      }).catch(function() {});

  q.setDefaultSound = function(samples, rate) {
    if (!q.audio) return;
    var frames = samples.length / 2;
    defaultBuffer = q.audio.createBuffer(2, frames, rate);
    for (var c = 0; c < 2; ++c) {
      var channel = defaultBuffer.getChannelData(c);
      for (var i = 0; i < frames; ++i) channel[i] = samples[i * 2 + c] / 32768;
    }
  };

  q.stopSound = function() {
    if (playing) playing.stop();
    playing = null;
  };

  var start = function(buffer, path, isDefault) {
    q.stopSound();
    var source = q.audio.createBufferSource();
    source.buffer = buffer;
    source.connect(q.audio.destination);
    source.start();
    playing = source;
    q.sound = {path: path, duration: buffer.duration, startFrame: q.frames, isDefault: isDefault};
    return source;
  };

  q.playSound = function(path, wait, useDefault) {
    if (!q.audio) return Promise.resolve(0);
    var known = sounds[path] || Promise.reject(new Error('no such file'));
    return known.then(function(buffer) {
      return {buffer: buffer, isDefault: false};
    }, function(error) {
      console.warn('PlaySoundA: cannot play "' + path + '": ' + error.message +
                   (useDefault ? '; playing the default sound' : ''));
      return useDefault && defaultBuffer ? {buffer: defaultBuffer, isDefault: true} : null;
    }).then(function(chosen) {
      if (!chosen) {
        q.stopSound();
        return 0;
      }
      var source = start(chosen.buffer, path, chosen.isDefault);
      if (!wait) return 1;
      return new Promise(function(resolve) {
        source.onended = function() { resolve(1); };
      });
    });
  };

  // ---- Boxes ----
  var kAnswers = {ok: 1, yes: 6, no: 7};
  q.showBox = function(caption, text, yesNo, icon) {
    var box = document.getElementById('box');
    document.getElementById('box-caption').textContent = caption;
    document.getElementById('box-text').textContent = text;
    box.dataset.icon = ['none', 'stop', 'exclamation', 'information', 'question'][icon] || 'none';
    var buttons = document.getElementById('box-buttons');
    buttons.textContent = '';
    var names = yesNo ? ['Yes', 'No'] : ['OK'];
    if (!yesNo) q.errorText = caption + ': ' + text;
    var wasState = q.state;
    q.state = 'question';
    q.boxOpen = true;
    box.hidden = false;
    q.ready = true;
    return new Promise(function(resolve) {
      var answer = function(name) {
        unlockAudio();
        document.removeEventListener('keydown', onKey, true);
        box.hidden = true;
        q.boxOpen = false;
        q.ready = false;
        q.state = wasState === 'loading' ? 'running' : wasState;
        q.answeredAt = performance.now();
        resolve(kAnswers[name.toLowerCase()]);
      };
      // Return gives the first button, Escape the last, as on Windows.
      var onKey = function(event) {
        if (event.key !== 'Enter' && event.key !== 'Escape') return;
        event.preventDefault();
        event.stopPropagation();
        answer(event.key === 'Enter' ? names[0] : names[names.length - 1]);
      };
      document.addEventListener('keydown', onKey, true);
      names.forEach(function(name) {
        var button = document.createElement('button');
        button.type = 'button';
        button.textContent = name;
        button.addEventListener('click', function() { answer(name); });
        // The answer that runs the demo in its window, for the benchmark to click.
        if (name === 'No') button.setAttribute('data-bench-click', '');
        buttons.appendChild(button);
      });
      buttons.firstChild.focus();
    });
  };

  // ---- Frames ----
  var turnStarted = performance.now();
  q.nextFrame = function() {
    return new Promise(function(resolve) {
      var go = function() {
        turnStarted = performance.now();
        resolve();
      };
      if (q.fixedFps > 0) {
        var channel = new MessageChannel();
        channel.port1.onmessage = go;
        channel.port2.postMessage(0);
      } else {
        requestAnimationFrame(go);
      }
    });
  };

  q.framePresented = function(surface) {
    var now = performance.now();
    if (q.firstFrameAt === null) q.firstFrameAt = now;
    if (q.frameWorkMs.length === 1000) {
      q.frameWorkMs.shift();
      q.frameEndMs.shift();
    }
    q.frameWorkMs.push(now - turnStarted);
    q.frameEndMs.push(now);
    var demoMs = q.fixedFps > 0 ? q.frames * 1000 / q.fixedFps : now - q.firstFrameAt;
    q.part = demoMs < 33000 ? 'boot' : 'main';
    var ms = q.stillFrames[q.frames];
    if (ms !== undefined && surface) q.stills[ms] = readFrame(GLctx, surface);
    q.frames += 1;
  };

  // The program's own frame, as the capture reads it: the window's back buffer, or the
  // emulated frame at the mode's size.
  var readFrame = function(gl, surface) {
    var width = surface.frame ? surface.frame.width : surface.canvas.width;
    var height = surface.frame ? surface.frame.height : surface.canvas.height;
    var pixels = new Uint8Array(width * height * 4);
    var bound = gl.getParameter(gl.FRAMEBUFFER_BINDING);
    gl.bindFramebuffer(gl.FRAMEBUFFER, surface.frame ? surface.frame.framebuffer : null);
    gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    gl.bindFramebuffer(gl.FRAMEBUFFER, bound);
    var text = '';
    for (var i = 0; i < pixels.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, pixels.subarray(i, i + 0x8000));
    }
    return {width: width, height: height, rgba: btoa(text)};
  };

  // ---- Emulated fullscreen: the frame at the mode's size, scaled sharp to the screen ----
  var makeTarget = function(gl, width, height, depth) {
    var texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
    var framebuffer = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
    if (depth) {
      var renderbuffer = gl.createRenderbuffer();
      gl.bindRenderbuffer(gl.RENDERBUFFER, renderbuffer);
      gl.renderbufferStorage(gl.RENDERBUFFER, gl.DEPTH_COMPONENT16, width, height);
      gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.DEPTH_ATTACHMENT, gl.RENDERBUFFER,
                                 renderbuffer);
    }
    var complete = gl.checkFramebufferStatus(gl.FRAMEBUFFER) === gl.FRAMEBUFFER_COMPLETE;
    return complete ? {texture: texture, framebuffer: framebuffer, width: width, height: height}
                    : null;
  };

  // One frame per context, kept while the mode stays; the context goes with its canvas.
  q.emulatedFrame = function(gl, width, height, bits) {
    var kept = gl.quorvaneFrame;
    if (kept && kept.width === width && kept.height === height && kept.bits === bits) return kept;
    var texture = gl.getParameter(gl.TEXTURE_BINDING_2D);
    var frame = makeTarget(gl, width, height, true);
    gl.bindTexture(gl.TEXTURE_2D, texture);
    if (!frame) return null;
    frame.bits = bits;
    frame.scaled = null;
    gl.quorvaneFrame = frame;
    // A context first made current takes the window's size as its viewport and scissor box.
    gl.viewport(0, 0, width, height);
    gl.scissor(0, 0, width, height);
    return frame;
  };

  var scaler = null;
  var makeScaler = function(gl) {
    var compile = function(type, source) {
      var shader = gl.createShader(type);
      gl.shaderSource(shader, source);
      gl.compileShader(shader);
      return shader;
    };
    var program = gl.createProgram();
    gl.attachShader(program, compile(gl.VERTEX_SHADER,
        'attribute vec2 corner; uniform vec4 place; varying vec2 uv;' +
        'void main() { uv = corner; gl_Position = vec4(mix(place.xy, place.zw, corner), 0.0, 1.0); }'));
    // A display of 16 bits a pixel kept 5, 6 and 5 bits of red, green and blue.
    gl.attachShader(program, compile(gl.FRAGMENT_SHADER,
        'precision mediump float; uniform sampler2D frame; uniform vec3 levels; varying vec2 uv;' +
        'void main() { vec3 c = texture2D(frame, uv).rgb;' +
        ' if (levels.r > 0.0) c = floor(c * levels + 0.5) / levels;' +
        ' gl_FragColor = vec4(c, 1.0); }'));
    gl.bindAttribLocation(program, 0, 'corner');
    gl.linkProgram(program);
    var corners = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, corners);
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([0, 0, 1, 0, 0, 1, 1, 1]), gl.STATIC_DRAW);
    return {gl: gl, program: program, corners: corners,
            place: gl.getUniformLocation(program, 'place'),
            levels: gl.getUniformLocation(program, 'levels'),
            frame: gl.getUniformLocation(program, 'frame')};
  };

  // Where the picture goes: the largest rectangle of the frame's shape, centred, and the
  // largest whole factor not above the scale.
  var place = function(fw, fh, dw, dh) {
    var p = {};
    if (dw * fh <= dh * fw) {
      p.width = dw;
      p.height = Math.floor((dw * fh + Math.floor(fw / 2)) / fw);
    } else {
      p.height = dh;
      p.width = Math.floor((dh * fw + Math.floor(fh / 2)) / fh);
    }
    p.x = Math.floor((dw - p.width) / 2);
    p.y = Math.floor((dh - p.height) / 2);
    p.whole = Math.max(1, Math.min(Math.floor(p.width / fw), Math.floor(p.height / fh)));
    return p;
  };

  var drawPass = function(gl, s, texture, filter, target, x, y, w, h, tw, th, levels) {
    gl.bindFramebuffer(gl.FRAMEBUFFER, target);
    gl.viewport(0, 0, tw, th);
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, filter);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, filter);
    gl.uniform4f(s.place, 2 * x / tw - 1, 2 * y / th - 1, 2 * (x + w) / tw - 1,
                 2 * (y + h) / th - 1);
    gl.uniform3f(s.levels, levels[0], levels[1], levels[2]);
    gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
  };

  q.scaleFrame = function(gl, surface) {
    var frame = surface.frame;
    var dw = surface.canvas.width, dh = surface.canvas.height;
    if (!scaler || scaler.gl !== gl) scaler = makeScaler(gl);
    var s = scaler;
    // What the scaling touches, as the program (and the GL emulation beneath it) left it.
    var saved = {
      program: gl.getParameter(gl.CURRENT_PROGRAM),
      buffer: gl.getParameter(gl.ARRAY_BUFFER_BINDING),
      viewport: gl.getParameter(gl.VIEWPORT),
      active: gl.getParameter(gl.ACTIVE_TEXTURE),
      clear: gl.getParameter(gl.COLOR_CLEAR_VALUE),
      depth: gl.isEnabled(gl.DEPTH_TEST),
      scissor: gl.isEnabled(gl.SCISSOR_TEST),
      blend: gl.isEnabled(gl.BLEND),
      cull: gl.isEnabled(gl.CULL_FACE),
      attribEnabled: gl.getVertexAttrib(0, gl.VERTEX_ATTRIB_ARRAY_ENABLED),
      attribBuffer: gl.getVertexAttrib(0, gl.VERTEX_ATTRIB_ARRAY_BUFFER_BINDING),
      attribSize: gl.getVertexAttrib(0, gl.VERTEX_ATTRIB_ARRAY_SIZE),
      attribType: gl.getVertexAttrib(0, gl.VERTEX_ATTRIB_ARRAY_TYPE),
      attribNormalized: gl.getVertexAttrib(0, gl.VERTEX_ATTRIB_ARRAY_NORMALIZED),
      attribStride: gl.getVertexAttrib(0, gl.VERTEX_ATTRIB_ARRAY_STRIDE),
      attribOffset: gl.getVertexAttribOffset(0, gl.VERTEX_ATTRIB_ARRAY_POINTER),
    };
    gl.activeTexture(gl.TEXTURE0);
    var texture = gl.getParameter(gl.TEXTURE_BINDING_2D);
    gl.disable(gl.DEPTH_TEST);
    gl.disable(gl.SCISSOR_TEST);
    gl.disable(gl.BLEND);
    gl.disable(gl.CULL_FACE);
    gl.useProgram(s.program);
    gl.uniform1i(s.frame, 0);
    gl.bindBuffer(gl.ARRAY_BUFFER, s.corners);
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);

    var levels = frame.bits <= 16 ? [31, 63, 31] : [0, 0, 0];
    var p = place(frame.width, frame.height, dw, dh);
    var exact = p.width === p.whole * frame.width && p.height === p.whole * frame.height;
    var source = frame.texture;
    if (!exact && p.whole > 1) {
      var sw = p.whole * frame.width, sh = p.whole * frame.height;
      if (!frame.scaled || frame.scaled.width !== sw || frame.scaled.height !== sh) {
        frame.scaled = makeTarget(gl, sw, sh, false);
      }
      if (frame.scaled) {
        drawPass(gl, s, source, gl.NEAREST, frame.scaled.framebuffer, 0, 0, sw, sh, sw, sh,
                 levels);
        source = frame.scaled.texture;
        levels = [0, 0, 0];
      }
    }
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.viewport(0, 0, dw, dh);
    gl.clearColor(0, 0, 0, 1);
    gl.clear(gl.COLOR_BUFFER_BIT);
    drawPass(gl, s, source, exact ? gl.NEAREST : gl.LINEAR, null, p.x, p.y, p.width, p.height,
             dw, dh, levels);

    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.activeTexture(saved.active);
    gl.bindBuffer(gl.ARRAY_BUFFER, saved.attribBuffer);
    gl.vertexAttribPointer(0, saved.attribSize, saved.attribType, saved.attribNormalized,
                           saved.attribStride, saved.attribOffset);
    if (!saved.attribEnabled) gl.disableVertexAttribArray(0);
    gl.bindBuffer(gl.ARRAY_BUFFER, saved.buffer);
    gl.useProgram(saved.program);
    if (saved.depth) gl.enable(gl.DEPTH_TEST);
    if (saved.scissor) gl.enable(gl.SCISSOR_TEST);
    if (saved.blend) gl.enable(gl.BLEND);
    if (saved.cull) gl.enable(gl.CULL_FACE);
    gl.clearColor(saved.clear[0], saved.clear[1], saved.clear[2], saved.clear[3]);
    gl.viewport(saved.viewport[0], saved.viewport[1], saved.viewport[2], saved.viewport[3]);
    gl.bindFramebuffer(gl.FRAMEBUFFER, frame.framebuffer);
  };

  // ---- The program's start and end ----
  q.programStarted = function() {
    if (q.state === 'loading') q.state = 'running';
  };

  q.programEnded = function(status) {
    q.exitCode = status;
    q.state = 'ended';
    q.stopSound();
    var ended = document.getElementById('ended');
    document.getElementById('ended-text').textContent =
        q.errorText ? 'The demo stopped: ' + q.errorText
                    : 'The demo has ended (exit status ' + status + ').';
    ended.hidden = false;
    document.getElementById('again').focus();
  };

  document.getElementById('again').addEventListener('click', function() { location.reload(); });

  // ---- Start ----
  var probe = document.createElement('canvas');
  var webgl = null;
  try {
    webgl = probe.getContext('webgl');
  } catch (error) {
    webgl = null;
  }
  if (!webgl) {
    q.state = 'ended';
    say('This demo needs WebGL, which this browser does not offer or has turned off.');
    return;
  }
  var lose = webgl.getExtension('WEBGL_lose_context');
  if (lose) lose.loseContext();

  window.Module = {
    print: function(text) { console.log(text); },
    printErr: function(text) {
      // The GL emulation's notice that it is one is for its developers, not the user.
      if (text.indexOf('using emscripten GL emulation') < 0) console.warn(text);
    },
    onAbort: function(what) {
      q.state = 'ended';
      say('The demo stopped unexpectedly (' + what + ').');
    },
  };
  var script = document.createElement('script');
  script.src = 'quorvane.js';
  script.onerror = function() {
    q.state = 'ended';
    say('The demo could not be loaded; reload the page to try again.');
  };
  document.body.appendChild(script);
})();
