// The page around the demo: it checks for WebGL, starts the program, and keeps what the
// browser backend needs between its calls: the boxes, the sounds and the pace of frames. The
// picture is scaled to the canvas by the program's own Win32 core. Its state is window.quorvane.
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
    // A fixed clock for tests (the capture's: the program's backend keeps its rule), drawn as
    // fast as the page can, with the first frames at or after chosen demo times kept as
    // pixels. Not offered to users.
    fixedFps: Math.max(0, Math.min(1000, parseInt(params.get('fps') || '0', 10) || 0)),
    stills: {},        // demo ms -> {width, height, rgba: base64 of the pixels, bottom row first}
    stillsWanted: [],  // demo ms of the stills still to keep, earliest first
    // Per frame, the newest 1000: ms of the program's own work (from the start of its turn to
    // its present), and the performance.now() at the present.
    frameWorkMs: [],
    frameEndMs: [],
    firstFrameAt: null,
    answeredAt: null,
    boxOpen: false,
    // What PlaySoundA started: {path, duration (null until the whole is decoded), startFrame,
    // isDefault, fromHead}; started from the head, also the context time it started at and,
    // once the whole took over, handOver: {offset into the music, seamless}.
    sound: null,
    audio: null,
    // The screen wake lock the program's wish keeps: wanted while its window is active, held
    // when the browser granted it; requests and releases counted.
    wakeLock: {wanted: false, held: false, requests: 0, releases: 0, refused: null},
  };
  window.quorvane = q;

  if (q.fixedFps > 0) {
    q.stillsWanted = (params.get('stills') || '').split(',').filter(Boolean).map(function(text) {
      return Math.round(parseFloat(text) * 1000);
    }).sort(function(a, b) { return a - b; });
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
  // first frame whenever the program asks for it. A long one comes with its first seconds as
  // a file of their own (its head), decoded long before the whole: an answer given before the
  // whole is ready starts the music from the head, and the whole takes over where the two
  // have the same samples.
  var decode = function(file) {
    var decoded = fetch(encodeURI(file)).then(function(response) {
      if (!response.ok) throw new Error('no such file');
      return response.arrayBuffer();
    }).then(function(bytes) {
      return new Promise(function(resolve, reject) {
        q.audio.decodeAudioData(bytes, resolve, function() {
          reject(new Error('not a sound this browser decodes'));
        });
      });
    });
    decoded.catch(function() {});  // reported when the program asks for it
    return decoded;
  };
  fetch('sounds.json').then(function(response) { return response.json(); })
      .then(function(manifest) {
        Object.keys(manifest).forEach(function(name) {
          var sound = {whole: decode(manifest[name].file), wholeBuffer: null, head: null};
          sound.whole.then(function(buffer) { sound.wholeBuffer = buffer; }, function() {});
          if (manifest[name].head) sound.head = decode(manifest[name].head);
          sounds[name] = sound;
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

  // A buffer played from `offset` seconds into it, at context time `when`, through its own
  // gain, which a hand-over fades.
  var schedule = function(buffer, when, offset) {
    var gain = q.audio.createGain();
    gain.connect(q.audio.destination);
    var source = q.audio.createBufferSource();
    source.buffer = buffer;
    source.connect(gain);
    source.start(when, offset);
    return {source: source, gain: gain};
  };

  // Plays the buffer; resolves at once, or once it has played where the program waits.
  var play = function(buffer, path, isDefault, wait) {
    q.stopSound();
    var source = schedule(buffer, 0, 0).source;
    playing = source;
    q.sound = {path: path, duration: buffer.duration, startFrame: q.frames, isDefault: isDefault,
               fromHead: false};
    if (!wait) return Promise.resolve(1);
    return new Promise(function(resolve) {
      source.onended = function() { resolve(1); };
    });
  };

  // The hand-over starts this far ahead of the context's clock, so that it is scheduled
  // before it plays, and fades the head out and the whole in over this long, which also
  // hides a start of the head a render quantum later than asked. It comes this long before
  // the head's end at the latest: the head's last frames are the encoder's, not the music's.
  var kHandOverLead = 0.05;
  var kHandOverFade = 0.03;
  var kHeadTail = 0.1;

  // Plays a sound from its head while the whole decodes, then from the whole at the same
  // point of the music; where the whole comes after the head has ended, it starts where the
  // music has got to. Resolves as play() does.
  var playFromHead = function(head, sound, path, wait) {
    q.stopSound();
    var audio = q.audio;
    var startedAt = audio.currentTime;
    var fromHead = schedule(head, startedAt, 0);
    var fromWhole = null;
    var stopped = false;
    playing = {stop: function() {
      stopped = true;
      // A later stop() replaces the head's stop at the hand-over's end.
      fromHead.source.stop();
      if (fromWhole) fromWhole.source.stop();
    }};
    var report = q.sound = {path: path, duration: null, startFrame: q.frames, isDefault: false,
                            fromHead: true, startedAt: startedAt, handOver: null};
    var ended = new Promise(function(resolve) {
      var headEnded = false;
      var wholeFailed = false;
      fromHead.source.onended = function() {
        headEnded = true;
        if (wholeFailed || stopped) resolve(1);
      };
      sound.whole.then(function(buffer) {
        if (stopped) return;
        report.duration = buffer.duration;
        var at = audio.currentTime + kHandOverLead;
        var offset = at - startedAt;
        if (offset >= buffer.duration) return resolve(1);
        fromWhole = schedule(buffer, at, offset);
        fromWhole.source.onended = function() { resolve(1); };
        var fade = function(gain, from, to) {
          gain.gain.setValueAtTime(from, at);
          gain.gain.linearRampToValueAtTime(to, at + kHandOverFade);
        };
        fade(fromWhole.gain, 0, 1);
        fade(fromHead.gain, 1, 0);
        fromHead.source.stop(at + kHandOverFade);
        report.handOver = {offset: offset,
                           seamless: offset + kHandOverFade <= head.duration - kHeadTail};
      }, function() {
        // The head plays on alone: the program was told the music started.
        wholeFailed = true;
        if (headEnded) resolve(1);
      });
    });
    return wait ? ended : Promise.resolve(1);
  };

  // The page decodes and plays; what a file it cannot play gives instead is the program's
  // backend's to say. Resolves to {reason} where it cannot.
  q.playSound = function(path, wait) {
    if (!q.audio) return Promise.resolve({reason: 'this browser has no Web Audio'});
    var sound = sounds[path];
    if (!sound) return Promise.resolve({reason: 'no such file'});
    var head = sound.wholeBuffer || !sound.head ? Promise.resolve(null)
                                                : sound.head.catch(function() { return null; });
    return head.then(function(headBuffer) {
      if (headBuffer && !sound.wholeBuffer) return playFromHead(headBuffer, sound, path, wait);
      return sound.whole.then(function(buffer) { return play(buffer, path, false, wait); });
    }).then(function() { return {}; }, function(error) { return {reason: error.message}; });
  };

  q.playDefaultSound = function(wait) {
    if (!q.audio || !defaultBuffer) return Promise.resolve(0);
    return play(defaultBuffer, 'the default sound', true, wait);
  };

  // ---- The screen kept awake ----
  var lock = null;
  var requestLock = function() {
    var w = q.wakeLock;
    if (!w.wanted || lock || document.hidden || !navigator.wakeLock) return;
    w.requests += 1;
    navigator.wakeLock.request('screen').then(function(sentinel) {
      if (!w.wanted) {
        sentinel.release();
        return;
      }
      lock = sentinel;
      w.held = true;
      // The browser lets it go itself when the page is hidden.
      sentinel.addEventListener('release', function() {
        if (lock === sentinel) lock = null;
        w.held = false;
        w.releases += 1;
      });
    }, function(error) {
      // Refused (no permission, a battery saver): the screen saver may come, nothing else.
      w.refused = error.name;
    });
  };
  q.keepAwake = function(wanted) {
    q.wakeLock.wanted = wanted;
    if (wanted) {
      requestLock();
    } else if (lock) {
      lock.release();
    }
  };
  // Shown again, the page asks again for the lock the browser dropped when it was hidden.
  document.addEventListener('visibilitychange', requestLock);

  // ---- The keys, for touch and mouse ----
  Array.prototype.forEach.call(document.querySelectorAll('#keys button'), function(button) {
    button.addEventListener('click', function() {
      if (q.pressKey) q.pressKey(button.dataset.key);
    });
  });

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

  // A frame presented, drawn at the program's clock reading clockMs.
  q.framePresented = function(surface, clockMs) {
    var now = performance.now();
    if (q.firstFrameAt === null) q.firstFrameAt = now;
    if (q.frameWorkMs.length === 1000) {
      q.frameWorkMs.shift();
      q.frameEndMs.shift();
    }
    q.frameWorkMs.push(now - turnStarted);
    q.frameEndMs.push(now);
    var demoMs = q.fixedFps > 0 ? clockMs : now - q.firstFrameAt;
    q.part = demoMs < 33000 ? 'boot' : 'main';
    // The first frame at or after each wanted time, as the capture keeps its stills.
    while (surface && q.stillsWanted.length && q.stillsWanted[0] <= clockMs) {
      q.stills[q.stillsWanted.shift()] = readFrame(GLctx);
    }
    q.frames += 1;
  };

  // The program's own frame, as the capture reads it: what is bound for reading at a present
  // (the canvas's drawing buffer, or the core's offscreen frame where the picture is scaled),
  // at the size of the viewport the program draws into.
  var readFrame = function(gl) {
    var viewport = gl.getParameter(gl.VIEWPORT);
    var width = viewport[2], height = viewport[3];
    var pixels = new Uint8Array(width * height * 4);
    gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    var text = '';
    for (var i = 0; i < pixels.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, pixels.subarray(i, i + 0x8000));
    }
    return {width: width, height: height, rgba: btoa(text)};
  };

  // ---- The program's start and end ----
  q.programStarted = function() {
    if (q.state === 'loading') q.state = 'running';
  };

  q.programEnded = function(status) {
    q.exitCode = status;
    q.state = 'ended';
    q.stopSound();
    q.keepAwake(false);
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
    printErr: function(text) { console.warn(text); },
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
